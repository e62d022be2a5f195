#pragma once

// Inside the window system: the records behind window handles and the per-thread message state.
// Not for callers outside platform/window and the display backends.

#include "platform/window/WindowSystem.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace Platform::WindowInternals {

using Clock = std::chrono::steady_clock;

std::uint32_t NowMilliseconds();

// What other threads may hand to a thread: posted messages, input and the quit request, with an
// eventfd that wakes the thread's wait.
class ThreadQueue {
public:
    ThreadQueue();
    ~ThreadQueue();
    ThreadQueue(const ThreadQueue&) = delete;
    ThreadQueue& operator=(const ThreadQueue&) = delete;

    void post(const Message& message);
    void postInput(const InputEvent& event);
    void postQuit(int exitCode);

    std::optional<Message> takePosted();
    std::optional<InputEvent> takeInput();
    // The quit request, taken once.
    std::optional<int> takeQuit();

    // Waits until something is handed over, `display` (if >= 0) becomes readable or the timeout
    // (milliseconds, -1 for none) passes.
    void wait(int displayDescriptor, int timeoutMilliseconds);

private:
    void wake();

    std::mutex m_Lock;
    std::deque<Message> m_Posted;
    std::deque<InputEvent> m_Input;
    std::optional<int> m_Quit;
    int m_WakeDescriptor = -1;
};

struct WindowRecord {
    WindowHandle handle = kNoWindow;
    WindowProcedure* procedure = nullptr;
    std::shared_ptr<ThreadQueue> queue; // never changes: other threads post through it
    WindowOptions options;
    Rect rect;
    Rect restoreRect; // the rectangle before maximising
    bool visible = false;
    bool minimised = false;
    bool maximised = false;
    bool enabled = true;
    std::atomic<bool> destroying{false}; // read by posting threads
    std::optional<WindowRegion> region;
    std::unique_ptr<Surface> pixels;
    Rect dirty;
};

// The window's record when it exists and belongs to the calling thread; null otherwise.
WindowRecord* Own(WindowHandle window);
// The queue of a window of any thread (null when gone).
std::shared_ptr<ThreadQueue> QueueOf(WindowHandle window);

struct TimerKey {
    WindowHandle window;
    std::uintptr_t id;
    auto operator<=>(const TimerKey&) const = default;
};
struct Timer {
    std::chrono::milliseconds period;
    Clock::time_point due;
};

// A window the system moves with the pointer because the display could not (caption dragging).
struct PointerMove {
    WindowHandle window = kNoWindow;
    Point start;
    Rect startRect;
};

struct ThreadState {
    std::shared_ptr<ThreadQueue> queue = std::make_shared<ThreadQueue>();
    std::vector<WindowHandle> windows; // this thread's windows, in creation order
    std::map<TimerKey, Timer> timers;
    WindowHandle focus = kNoWindow;
    WindowHandle capture = kNoWindow;
    WindowHandle hover = kNoWindow; // the window under the pointer, told when the pointer leaves
    std::optional<PointerMove> move;
    std::set<unsigned> keysDown;
    Point pointer;
    std::uint32_t messageTime = 0;
    std::uint32_t lastClickTime = 0;
    Point lastClickPoint;
    WindowHandle lastClickWindow = kNoWindow;
};

ThreadState& CurrentThread();

void RegisterWindow(std::unique_ptr<WindowRecord> record);
// Removes the record from the table; the caller keeps it alive until it is done.
std::unique_ptr<WindowRecord> UnregisterWindow(WindowHandle window);
WindowHandle NewHandle();

// Turns one input event into the message the window should see (none when the input is consumed
// by the system: a window moved with the pointer, a disabled window, a vanished window).
std::optional<Message> RouteInput(const InputEvent& event);

} // namespace Platform::WindowInternals
