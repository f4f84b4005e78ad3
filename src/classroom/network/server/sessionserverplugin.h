#pragma once

#include "classroom/network/sessionnetworking.h"

#include <QObject>

// The nelo-session-server module: the session's HTTP server and the computer's addresses, with
// Qt Network and Qt HTTP Server.
class SessionServerPlugin : public QObject, public SessionNetworking
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SessionNetworking_iid)
    Q_INTERFACES(SessionNetworking)

public:
    std::unique_ptr<SessionListener> listener(SessionRequests &requests, const ServerLimits &limits) const override;
    std::vector<LocalAddress> localAddresses() const override;
};
