#pragma once

#include "classroom/network/sessionnetworking.h"

#include <QString>

namespace SessionAddresses {

// "192.168.1.20 (wlp2s0)", "127.0.0.1 (cet ordinateur seulement)".
QString label(const LocalAddress &address);

// "http://192.168.1.20:8080/", "http://[fe80::1]:8080/"
QString pageAddress(const QString &address, quint16 port);

} // namespace SessionAddresses
