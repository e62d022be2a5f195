#pragma once

#include <cstdint>
#include <optional>

namespace Utils {

// Network reachability as one value: bits 0-15 the connectivity flags, bits 16-23 the verdict
// (0 connected to the Internet, or the network manager could not be asked; 1 no connectivity at all;
// 2 some connectivity, but not to the Internet). 0 therefore means "could not ask".
uint32_t CheckNetwork();

inline constexpr uint32_t kNetworkFlagsInternet = 0x40;
inline constexpr uint32_t kNetworkFlagsLocal = 0x20;
inline constexpr uint32_t kNetworkVerdictOffline = 1;
inline constexpr uint32_t kNetworkVerdictNoInternet = 2;

// The value for a connectivity state of NetworkManager (1 none, 2 portal, 3 limited, 4 full), or for
// no answer at all.
uint32_t NetworkStateFromConnectivity(std::optional<uint32_t> connectivity);

} // namespace Utils
