#include "utils/MessagePump.h"

#include "platform/window/WindowSystem.h"
#include "utils/Stopwatch.h"

namespace Utils {

namespace {

constexpr uint32_t kPumpMilliseconds = 100;

} // namespace

bool PumpMessages(Platform::WindowHandle window) {
    const uint32_t start = TickCount();
    Platform::Message message;
    while (true) {
        if (window != Platform::kNoWindow && !Platform::IsWindow(window))
            return false;
        if (!Platform::GetMessage(message)) {
            Platform::PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        // Typed text already arrives as Msg::kChar, so there is nothing to translate before dispatching.
        Platform::DispatchMessage(message);
        if (TickCount() - start > kPumpMilliseconds)
            return true;
    }
}

} // namespace Utils
