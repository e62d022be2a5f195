#include "utils/Stopwatch.h"

#include <time.h>

namespace Utils {

uint32_t TickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000 +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

void Stopwatch::Start() {
    m_StartTick = TickCount();
    m_Running = true;
}

float Stopwatch::Elapsed() const {
    if (!m_Running)
        return 0.0f;
    uint32_t elapsed = TickCount() - m_StartTick; // unsigned difference survives the wrap
    return static_cast<float>(elapsed) / 1000.0f;
}

} // namespace Utils
