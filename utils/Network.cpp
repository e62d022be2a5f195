#include "utils/Network.h"

#include "utils/DebugLog.h"

#include <memory>
#include <systemd/sd-bus.h>

namespace Utils {
namespace {

constexpr uint64_t kCallTimeoutMicroseconds = 2'000'000;

std::optional<uint32_t> askNetworkManager() {
    sd_bus* raw = nullptr;
    if (sd_bus_open_system(&raw) < 0)
        return std::nullopt;
    std::unique_ptr<sd_bus, decltype(&sd_bus_flush_close_unref)> bus(raw, &sd_bus_flush_close_unref);
    sd_bus_set_method_call_timeout(bus.get(), kCallTimeoutMicroseconds);
    uint32_t connectivity = 0;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    int rc = sd_bus_get_property_trivial(bus.get(), "org.freedesktop.NetworkManager",
                                         "/org/freedesktop/NetworkManager", "org.freedesktop.NetworkManager",
                                         "Connectivity", &error, 'u', &connectivity);
    sd_bus_error_free(&error);
    if (rc < 0)
        return std::nullopt;
    return connectivity;
}

} // namespace

uint32_t NetworkStateFromConnectivity(std::optional<uint32_t> connectivity) {
    // No manager, and a manager that has not checked yet (0, unknown), are both "could not ask":
    // the installer then goes on as if online rather than blocking an install it cannot judge.
    if (!connectivity || *connectivity == 0)
        return 0;
    if (*connectivity == 1) {
        UTILS_LOG(L"GetConnectivity %d\r\n", 0);
        return kNetworkVerdictOffline << 16;
    }
    if (*connectivity == 2 || *connectivity == 3) {
        UTILS_LOG(L"get_IsConnectedToInternet:%d\r\n", 0);
        return kNetworkFlagsLocal | kNetworkVerdictNoInternet << 16;
    }
    return kNetworkFlagsInternet;
}

uint32_t CheckNetwork() {
    return NetworkStateFromConnectivity(askNetworkManager());
}

} // namespace Utils
