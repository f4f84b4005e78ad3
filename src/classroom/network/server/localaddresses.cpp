#include "classroom/network/server/localaddresses.h"

#include <QNetworkInterface>

#include <algorithm>

namespace {

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
    if (address.isLoopback)
        return 3;
    if (address.isVirtual)
        return 2;
    return isPrivate(QHostAddress(address.address)) ? 0 : 1;
}

} // namespace

namespace LocalAddresses {

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
            found.push_back({address.toString(), interface.humanReadableName(),
                             interface.type() == QNetworkInterface::Virtual || looksVirtual(interface.name()),
                             address.isLoopback()});
        }
    }
    if (std::none_of(found.begin(), found.end(), [](const LocalAddress &a) { return a.isLoopback; }))
        found.push_back({QHostAddress(QHostAddress::LocalHost).toString(), QStringLiteral("lo"), false, true});
    order(found);
    return found;
}

void order(std::vector<LocalAddress> &addresses)
{
    std::stable_sort(addresses.begin(), addresses.end(),
                     [](const LocalAddress &a, const LocalAddress &b) { return rank(a) < rank(b); });
}

} // namespace LocalAddresses
