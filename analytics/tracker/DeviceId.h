#pragma once

#include <string>

namespace quxin::tracking {

// A new id for this machine: a GUID in upper case, "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX"; built from
// pseudo-random numbers when the system gives no GUID.
std::string NewDeviceId();

} // namespace quxin::tracking
