#pragma once

#include <QCoreApplication>
#include <QHostAddress>
#include <QString>

#include <vector>

// The addresses at which pupils' devices may reach this computer, the likeliest first: the
// school's network (private addresses of a real interface) before a virtual machine's bridge,
// and this computer alone (127.0.0.1) last, for trying the page at the teacher's own screen.
struct LocalAddress
{
    QHostAddress address;
    QString interfaceName;  // "wlp2s0", "enp3s0"...
    bool isVirtual = false; // a bridge for containers or virtual machines
};

namespace SessionAddresses {

// The IPv4 addresses of the interfaces that are up, in order().
std::vector<LocalAddress> list();

// Private addresses of real interfaces first, then other addresses, virtual bridges, and the
// loopback last; the system's order otherwise.
void order(std::vector<LocalAddress> &addresses);

// "192.168.1.20 (wlp2s0)", "127.0.0.1 (cet ordinateur seulement)".
QString label(const LocalAddress &address);

// "http://192.168.1.20:8080/"
QString pageAddress(const QHostAddress &address, quint16 port);

} // namespace SessionAddresses
