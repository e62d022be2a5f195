#include "platform/window/WindowState.h"

#include <algorithm>

namespace Platform {

using namespace WindowInternals;

namespace {

std::optional<Message> TakePaint(ThreadState& thread) {
    for (WindowHandle window : thread.windows) {
        const WindowRecord* record = Own(window);
        if (record && record->visible && !record->minimised && !record->dirty.isEmpty())
            return Message{window, Msg::kPaint, 0, 0, NowMilliseconds(), thread.pointer};
    }
    return std::nullopt;
}

std::optional<Message> TakeTimer(ThreadState& thread) {
    const Clock::time_point now = Clock::now();
    for (auto& [key, timer] : thread.timers) {
        if (timer.due <= now) {
            timer.due = now + timer.period;
            return Message{key.window, Msg::kTimer, key.id, 0, NowMilliseconds(), thread.pointer};
        }
    }
    return std::nullopt;
}

int MillisecondsToNextTimer(const ThreadState& thread) {
    if (thread.timers.empty())
        return -1;
    Clock::time_point next = Clock::time_point::max();
    for (const auto& [key, timer] : thread.timers)
        next = std::min(next, timer.due);
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(wait, 0, 60000));
}

// The next message in Windows' order: posted, input, quit, paint, timers. `quit` receives the exit
// code when the quit message is next (and is taken only when `takeQuit`).
std::optional<Message> NextMessage(ThreadState& thread, std::optional<int>& quit, bool takeQuit) {
    if (std::optional<Message> posted = thread.queue->takePosted())
        return posted;
    while (std::optional<InputEvent> input = thread.queue->takeInput()) {
        if (std::optional<Message> routed = RouteInput(*input))
            return routed;
    }
    if (takeQuit) {
        quit = thread.queue->takeQuit();
        if (quit)
            return std::nullopt;
    }
    if (std::optional<Message> paint = TakePaint(thread))
        return paint;
    return TakeTimer(thread);
}

void Taken(ThreadState& thread, Message& message) {
    if (message.time == 0)
        message.time = NowMilliseconds();
    thread.messageTime = message.time;
}

} // namespace

bool PostMessage(WindowHandle window, unsigned message, WParam wParam, LParam lParam) {
    std::shared_ptr<ThreadQueue> queue = QueueOf(window);
    if (!queue)
        return false;
    queue->post(Message{window, message, wParam, lParam, NowMilliseconds(), {}});
    return true;
}

void PostQuitMessage(int exitCode) {
    CurrentThread().queue->postQuit(exitCode);
}

bool GetMessage(Message& message) {
    ThreadState& thread = CurrentThread();
    DisplayBackend& display = Display();
    while (true) {
        std::optional<int> quit;
        if (std::optional<Message> next = NextMessage(thread, quit, true)) {
            message = *next;
            Taken(thread, message);
            return true;
        }
        if (quit) {
            message = Message{kNoWindow, Msg::kQuit, static_cast<WParam>(*quit), 0, NowMilliseconds(), {}};
            thread.messageTime = message.time;
            return false;
        }
        // The display may hold events it has already read: they become input before any wait, and
        // the wait ends at once when they did.
        const int descriptor = display.eventDescriptor();
        if (descriptor >= 0)
            display.dispatchEvents();
        thread.queue->wait(descriptor, MillisecondsToNextTimer(thread));
    }
}

bool PeekMessage(Message& message) {
    ThreadState& thread = CurrentThread();
    DisplayBackend& display = Display();
    if (display.eventDescriptor() >= 0)
        display.dispatchEvents();
    std::optional<int> quit;
    std::optional<Message> next = NextMessage(thread, quit, false);
    if (!next)
        return false;
    message = *next;
    Taken(thread, message);
    return true;
}

LResult DispatchMessage(const Message& message) {
    if (message.window == kNoWindow)
        return 0;
    return SendMessage(message.window, message.message, message.wParam, message.lParam);
}

std::uint32_t GetMessageTime() {
    return CurrentThread().messageTime;
}

bool SetTimer(WindowHandle window, std::uintptr_t id, unsigned milliseconds) {
    if (!Own(window))
        return false;
    const auto period = std::chrono::milliseconds(std::max(milliseconds, 1u));
    CurrentThread().timers[TimerKey{window, id}] = Timer{period, Clock::now() + period};
    return true;
}

bool KillTimer(WindowHandle window, std::uintptr_t id) {
    return CurrentThread().timers.erase(TimerKey{window, id}) > 0;
}

} // namespace Platform
