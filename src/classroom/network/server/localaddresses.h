#pragma once

#include "classroom/network/sessionnetworking.h"

#include <vector>

namespace LocalAddresses {

// The IPv4 addresses of the interfaces that are up, in order(); 127.0.0.1 always among them.
std::vector<LocalAddress> list();

// Private addresses of real interfaces first, then other addresses, virtual bridges, and the
// loopback last; the system's order otherwise.
void order(std::vector<LocalAddress> &addresses);

} // namespace LocalAddresses
