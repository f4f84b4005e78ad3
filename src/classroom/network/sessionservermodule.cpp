#include "classroom/network/sessionservermodule.h"

#include "platform/programmodule.h"

const SessionNetworking &loadSessionNetworking()
{
    return ProgramModule(QStringLiteral(NELO_SESSION_SERVER_FILE),
                         QCoreApplication::translate("SessionNetworking", "La passation sur le réseau"))
        .load<SessionNetworking>();
}
