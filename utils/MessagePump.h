#pragma once

#include "platform/window/WindowTypes.h"

namespace Utils {

// Keeps the calling thread's windows answering during a long step on that thread: takes and
// dispatches the thread's messages for a little more than 100 ms. True when that time is up; false
// at once when `window` (kNoWindow: none to watch) no longer exists, or when the quit message came.
// A quit message taken here is posted again, so that the caller's own loop still ends.
bool PumpMessages(Platform::WindowHandle window);

} // namespace Utils
