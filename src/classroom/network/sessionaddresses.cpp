#include "classroom/network/sessionaddresses.h"

#include <QNetworkInterface>

#include <algorithm>

namespace {

struct Text
{
    Q_DECLARE_TR_FUNCTIONS(SessionAddresses)
};

// Names the system gives to bridges of containers and virtual machines.
bool looksVirtual(const QString &name)
{
    static const char *const prefixes[] = {"docker", "br-", "veth", "virbr", "vmnet", "vboxnet", "lxc", "lxd", "tun", "tap", "zt", "tailscale", "wg"};
    return std::any_of(std::begin(prefixes), std::end(prefixes),
                       [&name](const char *prefix) { return name.startsWith(QLatin1String(prefix)); });
}

bool isPrivate(const QHostAddress &address)
{
    return address.isInSubnet(QHostAddress(QStringLiteral("10.0.0.0")), 8)
        || address.isInSubnet(QHostAddress(QStringLiteral("172.16.0.0")), 12)
        || address.isInSubnet(QHostAddress(QStringLiteral("192.168.0.0")), 16);
}

int rank(const LocalAddress &address)
{
    if (address.address.isLoopback())
        return 3;
    if (address.isVirtual)
        return 2;
    return isPrivate(address.address) ? 0 : 1;
}

} // namespace

namespace SessionAddresses {

std::vector<LocalAddress> list()
{
    std::vector<LocalAddress> found;
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning))
            continue;
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            const QHostAddress address = entry.ip();
            if (address.protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            found.push_back({address, interface.humanReadableName(),
                             interface.type() == QNetworkInterface::Virtual || looksVirtual(interface.name())});
        }
    }
    if (std::none_of(found.begin(), found.end(), [](const LocalAddress &a) { return a.address.isLoopback(); }))
        found.push_back({QHostAddress(QHostAddress::LocalHost), QStringLiteral("lo"), false});
    order(found);
    return found;
}

void order(std::vector<LocalAddress> &addresses)
{
    std::stable_sort(addresses.begin(), addresses.end(),
                     [](const LocalAddress &a, const LocalAddress &b) { return rank(a) < rank(b); });
}

QString label(const LocalAddress &address)
{
    if (address.address.isLoopback())
        return Text::tr("%1 (cet ordinateur seulement)").arg(address.address.toString());
    return QStringLiteral("%1 (%2)").arg(address.address.toString(), address.interfaceName);
}

QString pageAddress(const QHostAddress &address, quint16 port)
{
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
        ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
        : address.toString();
    return QStringLiteral("http://%1:%2/").arg(host).arg(port);
}

} // namespace SessionAddresses
