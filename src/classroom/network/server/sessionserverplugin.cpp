#include "classroom/network/server/sessionserverplugin.h"

#include "classroom/network/server/localaddresses.h"
#include "classroom/network/server/sessionserver.h"

std::unique_ptr<SessionListener> SessionServerPlugin::listener(SessionRequests &requests, const ServerLimits &limits) const
{
    return std::make_unique<SessionServer>(requests, limits);
}

std::vector<LocalAddress> SessionServerPlugin::localAddresses() const
{
    return LocalAddresses::list();
}
