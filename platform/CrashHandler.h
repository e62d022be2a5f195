#pragma once

namespace Platform {

// Runs `report` once when the process crashes (a fatal signal or an uncaught exception), then lets
// the system's default handling end the process. The report is best effort: it must not block, and a
// watchdog ends the process if it hangs anyway.
void InstallCrashHandler(void (*report)());

} // namespace Platform
