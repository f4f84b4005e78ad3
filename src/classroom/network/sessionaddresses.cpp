#include "classroom/network/sessionaddresses.h"

#include <QCoreApplication>

namespace {

struct Text
{
    Q_DECLARE_TR_FUNCTIONS(SessionAddresses)
};

} // namespace

namespace SessionAddresses {

QString label(const LocalAddress &address)
{
    if (address.isLoopback)
        return Text::tr("%1 (cet ordinateur seulement)").arg(address.address);
    return QStringLiteral("%1 (%2)").arg(address.address, address.interfaceName);
}

QString pageAddress(const QString &address, quint16 port)
{
    const QString host = address.contains(QLatin1Char(':')) ? QLatin1Char('[') + address + QLatin1Char(']') : address;
    return QStringLiteral("http://%1:%2/").arg(host).arg(port);
}

} // namespace SessionAddresses
