#include "platform/window/WindowSystem.h"

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/window/WindowState.h"

#include <algorithm>
#include <utility>

namespace Platform {

using namespace WindowInternals;

namespace {

std::unique_ptr<DisplayBackend>& Backend() {
    static std::unique_ptr<DisplayBackend> backend;
    return backend;
}

LParam PackSize(Size size) {
    return PackPoint({size.width, size.height});
}

void SendSize(WindowRecord& record, unsigned kind) {
    SendMessage(record.handle, Msg::kSize, kind, PackSize({record.rect.width(), record.rect.height()}));
}

} // namespace

void SetDisplayBackend(std::unique_ptr<DisplayBackend> backend) {
    Backend() = std::move(backend);
}

DisplayBackend& Display() {
    std::unique_ptr<DisplayBackend>& backend = Backend();
    if (!backend)
        backend = std::make_unique<HeadlessDisplay>();
    return *backend;
}

WindowHandle CreateNativeWindow(const WindowOptions& options, WindowProcedure& procedure) {
    auto record = std::make_unique<WindowRecord>();
    record->handle = NewHandle();
    record->procedure = &procedure;
    record->queue = CurrentThread().queue;
    record->options = options;
    record->rect = options.rect;
    record->pixels =
        std::make_unique<Surface>(std::max(options.rect.width(), 1), std::max(options.rect.height(), 1));
    record->dirty = {0, 0, options.rect.width(), options.rect.height()};
    const WindowHandle window = record->handle;
    RegisterWindow(std::move(record));
    CurrentThread().windows.push_back(window);
    Display().createWindow(window, options.rect, options.owner, options.title);

    if (SendMessage(window, Msg::kCreate) == -1 || !IsWindow(window)) {
        DestroyNativeWindow(window);
        return kNoWindow;
    }
    if (WindowRecord* created = Own(window)) {
        SendMessage(window, Msg::kMove, 0, PackPoint({created->rect.left, created->rect.top}));
        SendSize(*created, SizeKind::kRestored);
    }
    if (options.style & Style::kVisible)
        ShowWindow(window, Show::kNormal);
    return window;
}

bool DestroyNativeWindow(WindowHandle window) {
    WindowRecord* record = Own(window);
    if (!record || record->destroying)
        return false;
    record->destroying = true;
    ThreadState& thread = CurrentThread();
    for (WindowHandle owned : std::vector<WindowHandle>(thread.windows)) {
        const WindowRecord* other = Own(owned);
        if (other && other->options.owner == window)
            DestroyNativeWindow(owned);
    }
    if (record->visible)
        ShowWindow(window, Show::kHide);
    if (thread.capture == window)
        ReleaseCapture();
    if (thread.focus == window)
        thread.focus = kNoWindow;
    if (thread.hover == window)
        thread.hover = kNoWindow;
    if (thread.move && thread.move->window == window)
        thread.move.reset();
    std::erase_if(thread.timers, [window](const auto& timer) { return timer.first.window == window; });

    record->procedure->HandleWindowMessage(window, Msg::kDestroy, 0, 0);
    Display().removeShadow(window);
    Display().destroyWindow(window);
    std::unique_ptr<WindowRecord> gone = UnregisterWindow(window);
    std::erase(thread.windows, window);
    // The procedure may end its own life here: nothing touches it afterwards.
    gone->procedure->HandleWindowMessage(window, Msg::kNcDestroy, 0, 0);
    return true;
}

bool IsWindow(WindowHandle window) {
    return QueueOf(window) != nullptr;
}

LResult SendMessage(WindowHandle window, unsigned message, WParam wParam, LParam lParam) {
    WindowRecord* record = Own(window);
    if (!record)
        return 0;
    return record->procedure->HandleWindowMessage(window, message, wParam, lParam);
}

bool ShowWindow(WindowHandle window, int command) {
    WindowRecord* record = Own(window);
    if (!record)
        return false;
    const bool wasVisible = record->visible;
    DisplayBackend& display = Display();
    switch (command) {
    case Show::kHide:
        if (!record->visible)
            return false;
        record->visible = false;
        display.showWindow(window, false);
        if (CurrentThread().focus == window)
            SetFocus(kNoWindow);
        SendMessage(window, Msg::kShowWindow, 0, 0);
        return wasVisible;
    case Show::kMinimize:
    case Show::kMinimized:
        if (!record->visible) {
            record->visible = true;
            display.showWindow(window, true);
        }
        if (!record->minimised) {
            record->minimised = true;
            display.minimise(window);
            SendMessage(window, Msg::kSize, SizeKind::kMinimized, 0);
        }
        return wasVisible;
    case Show::kMaximize:
        if (!record->maximised) {
            record->restoreRect = record->rect;
            record->maximised = true;
            MoveWindow(window, display.workArea());
        }
        break;
    case Show::kRestore:
        if (record->maximised && !record->minimised) {
            record->maximised = false;
            MoveWindow(window, record->restoreRect);
        }
        break;
    default:
        break;
    }
    // A procedure may end its window while it handles what was sent: look the record up again.
    if (record = Own(window); record && record->minimised) {
        record->minimised = false;
        display.restore(window);
        SendSize(*record, record->maximised ? SizeKind::kMaximized : SizeKind::kRestored);
    }
    if (record = Own(window); record && !record->visible) {
        record->visible = true;
        display.showWindow(window, true);
        SendMessage(window, Msg::kShowWindow, 1, 0);
        InvalidateRect(window);
    }
    if (record = Own(window); record && command != Show::kNoActivate && record->enabled)
        SetFocus(window);
    return wasVisible;
}

bool IsWindowVisible(WindowHandle window) {
    const WindowRecord* record = Own(window);
    return record && record->visible;
}

bool IsIconic(WindowHandle window) {
    const WindowRecord* record = Own(window);
    return record && record->minimised;
}

bool IsZoomed(WindowHandle window) {
    const WindowRecord* record = Own(window);
    return record && record->maximised;
}

bool EnableWindow(WindowHandle window, bool enable) {
    WindowRecord* record = Own(window);
    if (!record)
        return false;
    const bool wasDisabled = !record->enabled;
    if (record->enabled != enable) {
        record->enabled = enable;
        Display().setEnabled(window, enable);
        if (!enable && CurrentThread().capture == window)
            ReleaseCapture();
        SendMessage(window, Msg::kEnable, enable ? 1 : 0, 0);
    }
    return wasDisabled;
}

bool IsWindowEnabled(WindowHandle window) {
    const WindowRecord* record = Own(window);
    return record && record->enabled;
}

WindowHandle GetOwner(WindowHandle window) {
    const WindowRecord* record = Own(window);
    return record ? record->options.owner : kNoWindow;
}

std::uint32_t GetWindowStyle(WindowHandle window) {
    const WindowRecord* record = Own(window);
    return record ? record->options.style : 0;
}

void SetWindowStyle(WindowHandle window, std::uint32_t style) {
    if (WindowRecord* record = Own(window))
        record->options.style = style;
}

void SetWindowTitle(WindowHandle window, const std::wstring& title) {
    if (WindowRecord* record = Own(window)) {
        record->options.title = title;
        Display().setTitle(window, title);
    }
}

void SetWindowIcon(WindowHandle window, const ImageView& icon) {
    if (Own(window))
        Display().setIcon(window, icon);
}

Rect GetWindowRect(WindowHandle window) {
    const WindowRecord* record = Own(window);
    return record ? record->rect : Rect{};
}

Rect GetClientRect(WindowHandle window) {
    const WindowRecord* record = Own(window);
    return record ? Rect{0, 0, record->rect.width(), record->rect.height()} : Rect{};
}

bool MoveWindow(WindowHandle window, const Rect& rect) {
    WindowRecord* record = Own(window);
    if (!record)
        return false;
    if (record->rect == rect)
        return true;
    const bool moved = record->rect.left != rect.left || record->rect.top != rect.top;
    const bool sized = record->rect.width() != rect.width() || record->rect.height() != rect.height();
    record->rect = rect;
    if (sized) {
        record->pixels = std::make_unique<Surface>(std::max(rect.width(), 1), std::max(rect.height(), 1));
        record->dirty = {0, 0, rect.width(), rect.height()};
    }
    Display().moveWindow(window, rect);
    if (moved)
        SendMessage(window, Msg::kMove, 0, PackPoint({rect.left, rect.top}));
    // The move's handler may have ended the window.
    if (record = Own(window); sized && record)
        SendSize(*record, record->maximised ? SizeKind::kMaximized : SizeKind::kRestored);
    return true;
}

Point ClientToScreen(WindowHandle window, Point point) {
    const Rect rect = GetWindowRect(window);
    return {point.x + rect.left, point.y + rect.top};
}

Point ScreenToClient(WindowHandle window, Point point) {
    const Rect rect = GetWindowRect(window);
    return {point.x - rect.left, point.y - rect.top};
}

void SetWindowRegion(WindowHandle window, const std::optional<WindowRegion>& region) {
    if (WindowRecord* record = Own(window)) {
        record->region = region;
        Display().setRegion(window, region);
    }
}

std::optional<WindowRegion> GetWindowRegion(WindowHandle window) {
    const WindowRecord* record = Own(window);
    return record ? record->region : std::nullopt;
}

WindowHandle SetFocus(WindowHandle window) {
    ThreadState& thread = CurrentThread();
    const WindowHandle previous = thread.focus;
    if (window != kNoWindow && !Own(window))
        return previous;
    if (previous == window)
        return previous;
    thread.focus = window;
    if (previous != kNoWindow)
        SendMessage(previous, Msg::kKillFocus, window, 0);
    // The display hears of a lost focus too: else it goes on sending keys to the window that had it,
    // even once that window is hidden.
    Display().setFocus(window);
    if (window != kNoWindow)
        SendMessage(window, Msg::kSetFocus, previous, 0);
    return previous;
}

WindowHandle GetFocus() {
    return CurrentThread().focus;
}

WindowHandle SetCapture(WindowHandle window) {
    ThreadState& thread = CurrentThread();
    const WindowHandle previous = thread.capture;
    if (!Own(window))
        return previous;
    thread.capture = window;
    Display().setCapture(window, true);
    return previous;
}

bool ReleaseCapture() {
    ThreadState& thread = CurrentThread();
    const WindowHandle previous = std::exchange(thread.capture, kNoWindow);
    if (previous == kNoWindow)
        return true;
    Display().setCapture(previous, false);
    SendMessage(previous, Msg::kCaptureChanged, 0, 0);
    return true;
}

WindowHandle GetCapture() {
    return CurrentThread().capture;
}

void SetCursor(WindowHandle window, Cursor cursor) {
    if (Own(window))
        Display().setCursor(window, cursor);
}

bool SetForegroundWindow(WindowHandle window) {
    if (!Own(window))
        return false;
    Display().bringToFront(window);
    SetFocus(window);
    return true;
}

bool IsKeyDown(unsigned virtualKey) {
    return CurrentThread().keysDown.contains(virtualKey);
}

Point GetCursorPos() {
    return CurrentThread().pointer;
}

Rect GetWorkArea() {
    return Display().workArea();
}

Size GetScreenSize() {
    return Display().screenSize();
}

bool ShadowsSupported() {
    return Display().supportsShadows();
}

void SetWindowShadow(WindowHandle window, const Rect& rect, const ImageView& pixels) {
    if (Own(window))
        Display().setShadow(window, rect, pixels);
}

void MoveWindowShadow(WindowHandle window, Point topLeft) {
    if (Own(window))
        Display().moveShadow(window, topLeft);
}

void ShowWindowShadow(WindowHandle window, bool visible) {
    if (Own(window))
        Display().showShadow(window, visible);
}

void RemoveWindowShadow(WindowHandle window) {
    if (Own(window))
        Display().removeShadow(window);
}

void SetClipboardText(const std::wstring& text) {
    Display().setClipboardText(text);
}

std::optional<std::wstring> GetClipboardText() {
    return Display().clipboardText();
}

void InvalidateRect(WindowHandle window, const std::optional<Rect>& rect) {
    WindowRecord* record = Own(window);
    if (!record)
        return;
    const Rect whole{0, 0, record->rect.width(), record->rect.height()};
    record->dirty = Union(record->dirty, rect ? Intersect(*rect, whole) : whole);
}

void UpdateWindow(WindowHandle window) {
    const WindowRecord* record = Own(window);
    if (record && record->visible && !record->dirty.isEmpty())
        SendMessage(window, Msg::kPaint);
}

PaintScope BeginPaint(WindowHandle window) {
    WindowRecord* record = Own(window);
    if (!record)
        return {};
    return {record->pixels.get(), std::exchange(record->dirty, Rect{})};
}

void EndPaint(WindowHandle window, const PaintScope& scope) {
    const WindowRecord* record = Own(window);
    if (record && scope.surface == record->pixels.get() && !scope.dirty.isEmpty())
        Display().present(window, *record->pixels, scope.dirty);
}

const Surface* GetWindowPixels(WindowHandle window) {
    const WindowRecord* record = Own(window);
    return record ? record->pixels.get() : nullptr;
}

LResult DefWindowProc(WindowHandle window, unsigned message, WParam wParam, LParam lParam) {
    switch (message) {
    case Msg::kClose:
        DestroyNativeWindow(window);
        return 0;
    case Msg::kNcHitTest:
        return HitTest::kClient;
    case Msg::kNcLButtonDown:
        if (wParam == HitTest::kCaption && !IsZoomed(window)) {
            const Point point = UnpackPoint(lParam);
            if (!Display().beginSystemMove(window, point))
                CurrentThread().move = PointerMove{window, point, GetWindowRect(window)};
        }
        return 0;
    case Msg::kSysCommand:
        switch (wParam & 0xFFF0) {
        case SysCommand::kClose:
            SendMessage(window, Msg::kClose);
            break;
        case SysCommand::kMinimize:
            ShowWindow(window, Show::kMinimize);
            break;
        case SysCommand::kMaximize:
            ShowWindow(window, Show::kMaximize);
            break;
        case SysCommand::kRestore:
            ShowWindow(window, Show::kRestore);
            break;
        }
        return 0;
    case Msg::kPaint:
        EndPaint(window, BeginPaint(window));
        return 0;
    default:
        return 0;
    }
}

void DeliverInput(const InputEvent& event) {
    std::shared_ptr<ThreadQueue> queue = QueueOf(event.window);
    if (!queue)
        return;
    if (event.kind != InputEvent::Kind::Text) {
        queue->postInput(event);
        return;
    }
    // One character message per character, as typing them one by one would give.
    for (wchar_t character : event.text) {
        InputEvent single = event;
        single.text.assign(1, character);
        queue->postInput(single);
    }
}

} // namespace Platform
