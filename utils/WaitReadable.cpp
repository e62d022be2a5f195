#include "utils/WaitReadable.h"

#include <cerrno>
#include <poll.h>

namespace Utils {

bool WaitReadable(int descriptor, int timeoutMilliseconds) {
    if (descriptor < 0)
        return true;
    pollfd wanted{descriptor, POLLIN, 0};
    int ready;
    do
        ready = poll(&wanted, 1, timeoutMilliseconds);
    while (ready < 0 && errno == EINTR);
    // An error is reported as readable so that the caller's read sees it and stops.
    return ready != 0;
}

} // namespace Utils
