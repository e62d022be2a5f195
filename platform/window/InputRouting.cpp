#include "platform/window/WindowState.h"

#include <cstdlib>
#include <utility>

namespace Platform::WindowInternals {

namespace {

constexpr std::uint32_t kDoubleClickMilliseconds = 500;
constexpr int kDoubleClickDistance = 4;

using Kind = InputEvent::Kind;

WParam MouseKeys(const ThreadState& thread) {
    WParam keys = 0;
    if (thread.keysDown.contains(Key::kShift))
        keys |= MouseKey::kShift;
    if (thread.keysDown.contains(Key::kControl))
        keys |= MouseKey::kControl;
    return keys;
}

Message Make(WindowHandle window, unsigned message, WParam wParam, LParam lParam, Point pointer) {
    return Message{window, message, wParam, lParam, NowMilliseconds(), pointer};
}

// A window the pointer left gets Msg::kMouseLeave once.
void TrackHover(ThreadState& thread, WindowHandle window) {
    if (thread.hover == window)
        return;
    const WindowHandle left = std::exchange(thread.hover, window);
    if (left != kNoWindow)
        SendMessage(left, Msg::kMouseLeave);
}

std::optional<Message> RoutePointer(ThreadState& thread, const InputEvent& event, WindowRecord& record) {
    const WindowHandle window = record.handle;
    const Point client{event.point.x - record.rect.left, event.point.y - record.rect.top};
    switch (event.kind) {
    case Kind::MouseMove:
        TrackHover(thread, window);
        return Make(window, Msg::kMouseMove, MouseKeys(thread), PackPoint(client), event.point);
    case Kind::ButtonDown: {
        const bool left = event.button == 1;
        if (thread.capture == kNoWindow) {
            if (record.region && !record.region->contains(client))
                return std::nullopt;
            if (GetFocus() != window)
                SetFocus(window);
            const LResult hit = SendMessage(window, Msg::kNcHitTest, 0, PackPoint(event.point));
            if (hit != HitTest::kClient) {
                if (!left || !Own(window))
                    return std::nullopt;
                return Make(window, Msg::kNcLButtonDown, static_cast<WParam>(hit), PackPoint(event.point),
                            event.point);
            }
        }
        if (!left)
            return Make(window, Msg::kRButtonDown, MouseKey::kRButton | MouseKeys(thread), PackPoint(client),
                        event.point);
        const std::uint32_t now = NowMilliseconds();
        const bool doubleClick = thread.lastClickWindow == window &&
                                 now - thread.lastClickTime <= kDoubleClickMilliseconds &&
                                 std::abs(event.point.x - thread.lastClickPoint.x) <= kDoubleClickDistance &&
                                 std::abs(event.point.y - thread.lastClickPoint.y) <= kDoubleClickDistance;
        // A third press starts over, as on Windows.
        thread.lastClickWindow = doubleClick ? kNoWindow : window;
        thread.lastClickTime = now;
        thread.lastClickPoint = event.point;
        return Make(window, doubleClick ? Msg::kLButtonDblClk : Msg::kLButtonDown,
                    MouseKey::kLButton | MouseKeys(thread), PackPoint(client), event.point);
    }
    case Kind::ButtonUp:
        return Make(window, event.button == 1 ? Msg::kLButtonUp : Msg::kRButtonUp, MouseKeys(thread),
                    PackPoint(client), event.point);
    case Kind::Wheel:
        return Make(window, Msg::kMouseWheel,
                    (static_cast<WParam>(static_cast<std::uint16_t>(event.wheelDelta)) << 16) | MouseKeys(thread),
                    PackPoint(event.point), event.point);
    case Kind::PointerLeft:
        if (thread.hover == window && thread.capture != window)
            TrackHover(thread, kNoWindow);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

// The window follows the pointer until the left button is released.
std::optional<Message> FollowPointer(ThreadState& thread, const InputEvent& event) {
    const PointerMove& move = *thread.move;
    if (event.kind == Kind::ButtonUp) {
        const WindowHandle moved = move.window;
        thread.move.reset();
        SendMessage(moved, Msg::kExitSizeMove);
        return std::nullopt;
    }
    if (event.kind == Kind::MouseMove)
        MoveWindow(move.window, Offset(move.startRect, event.point.x - move.start.x, event.point.y - move.start.y));
    return std::nullopt;
}

bool IsPointer(Kind kind) {
    return kind == Kind::MouseMove || kind == Kind::ButtonDown || kind == Kind::ButtonUp || kind == Kind::Wheel ||
           kind == Kind::PointerLeft;
}

} // namespace

std::optional<Message> RouteInput(const InputEvent& event) {
    ThreadState& thread = CurrentThread();
    if (IsPointer(event.kind)) {
        thread.pointer = event.point;
        if (thread.move && event.kind != Kind::Wheel)
            return FollowPointer(thread, event);
    }

    WindowHandle target = event.window;
    if (IsPointer(event.kind) && event.kind != Kind::PointerLeft && thread.capture != kNoWindow)
        target = thread.capture;
    else if ((event.kind == Kind::KeyDown || event.kind == Kind::KeyUp || event.kind == Kind::Text) &&
             thread.focus != kNoWindow)
        target = thread.focus;

    if (event.kind == Kind::KeyDown)
        thread.keysDown.insert(event.key);
    else if (event.kind == Kind::KeyUp)
        thread.keysDown.erase(event.key);

    WindowRecord* record = Own(target);
    if (!record || record->destroying)
        return std::nullopt;
    const Point pointer = thread.pointer;
    switch (event.kind) {
    case Kind::KeyDown:
    case Kind::KeyUp:
    case Kind::Text:
        if (!record->enabled)
            return std::nullopt;
        if (event.kind == Kind::Text)
            return Make(target, Msg::kChar, static_cast<WParam>(event.text.empty() ? 0 : event.text[0]), 1, pointer);
        return Make(target, event.kind == Kind::KeyDown ? Msg::kKeyDown : Msg::kKeyUp, event.key, 1, pointer);
    case Kind::CloseRequest:
        if (!record->enabled)
            return std::nullopt;
        return Make(target, Msg::kSysCommand, SysCommand::kClose, 0, pointer);
    case Kind::Minimised:
        ShowWindow(target, Show::kMinimize);
        return std::nullopt;
    case Kind::Restored:
        ShowWindow(target, Show::kRestore);
        return std::nullopt;
    case Kind::Moved: {
        const Rect rect = record->rect;
        MoveWindow(target, Offset(rect, event.point.x - rect.left, event.point.y - rect.top));
        return std::nullopt;
    }
    case Kind::Activated:
        if (record->enabled)
            SetFocus(target);
        return std::nullopt;
    case Kind::Deactivated:
        if (thread.focus == target)
            SetFocus(kNoWindow);
        return std::nullopt;
    default:
        if (!record->enabled || !record->visible)
            return std::nullopt;
        return RoutePointer(thread, event, *record);
    }
}

} // namespace Platform::WindowInternals
