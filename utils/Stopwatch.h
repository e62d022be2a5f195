#pragma once

#include <cstdint>

namespace Utils {

// Milliseconds of a monotonic clock, wrapping at 2^32 like the system tick count.
uint32_t TickCount();

// Elapsed time of a step. The owner sets the start tick and the running flag.
class Stopwatch {
public:
    void Start();
    void Stop() { m_Running = false; }
    // Seconds since the start tick, or 0 when not running.
    float Elapsed() const;

    uint32_t m_StartTick{0};
    bool m_Running{false};
};

} // namespace Utils
