#pragma once

#include "platform/Canvas.h"
#include "platform/window/DisplayBackend.h"
#include "platform/window/WindowTypes.h"

#include <memory>
#include <optional>
#include <string>

// The window system: windows with procedures, one message queue per thread, posting from any
// thread, window timers, painting into a per-window surface, and input routed as Windows routes it
// (hit test first, capture, focus, disabled owners). Everything but PostMessage, PostThreadQuit and
// IsWindow runs on the thread that created the window.
namespace Platform {

// The display every window goes to. Set once before the first window; without one the headless
// display is used.
void SetDisplayBackend(std::unique_ptr<DisplayBackend> backend);
DisplayBackend& Display();

struct WindowOptions {
    std::wstring className;
    std::wstring title;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    Rect rect; // screen position and size
    WindowHandle owner = kNoWindow;
};

// Creates the window and sends it Msg::kCreate. A procedure that answers kCreate with -1 ends the
// window again, and then kNoWindow is returned. The procedure must outlive the window (until
// Msg::kNcDestroy).
WindowHandle CreateNativeWindow(const WindowOptions& options, WindowProcedure& procedure);
// Sends kDestroy and kNcDestroy, then forgets the window. Windows it owns are destroyed first.
bool DestroyNativeWindow(WindowHandle window);
// Any thread.
bool IsWindow(WindowHandle window);

// Calls the procedure at once (the window's thread only; other threads get 0: they post).
LResult SendMessage(WindowHandle window, unsigned message, WParam wParam = 0, LParam lParam = 0);
// Queues the message on the window's thread; any thread. False when the window is gone.
bool PostMessage(WindowHandle window, unsigned message, WParam wParam = 0, LParam lParam = 0);
// Ends the calling thread's loop: GetMessage returns false once the posted messages are taken.
void PostQuitMessage(int exitCode);

// Waits for the next message of the calling thread: posted messages first, then input, then
// paint, then timers. False for the quit message (its code in message.wParam).
bool GetMessage(Message& message);
// The same without waiting; false when nothing is ready (the quit message is then left in place).
bool PeekMessage(Message& message);
LResult DispatchMessage(const Message& message);
// The behaviour of a window that does not handle a message itself.
LResult DefWindowProc(WindowHandle window, unsigned message, WParam wParam, LParam lParam);
// The time of the last message taken by GetMessage on this thread.
std::uint32_t GetMessageTime();

// Starts or replaces timer `id` of the window: a Msg::kTimer with wParam `id` every `milliseconds`.
bool SetTimer(WindowHandle window, std::uintptr_t id, unsigned milliseconds);
bool KillTimer(WindowHandle window, std::uintptr_t id);

bool ShowWindow(WindowHandle window, int command);
bool IsWindowVisible(WindowHandle window);
bool IsIconic(WindowHandle window);
bool IsZoomed(WindowHandle window);
bool EnableWindow(WindowHandle window, bool enable);
bool IsWindowEnabled(WindowHandle window);
WindowHandle GetOwner(WindowHandle window);
std::uint32_t GetWindowStyle(WindowHandle window);
void SetWindowStyle(WindowHandle window, std::uint32_t style);
void SetWindowTitle(WindowHandle window, const std::wstring& title);
void SetWindowIcon(WindowHandle window, const ImageView& icon);

// Screen rectangle; the client area is the whole window (no frames are drawn by the system).
Rect GetWindowRect(WindowHandle window);
Rect GetClientRect(WindowHandle window);
// Moves and sizes the window (screen coordinates); sends kMove and kSize when they change.
bool MoveWindow(WindowHandle window, const Rect& rect);
Point ClientToScreen(WindowHandle window, Point point);
Point ScreenToClient(WindowHandle window, Point point);

// Clips the window to a rounded outline; nullopt gives it back its whole rectangle.
void SetWindowRegion(WindowHandle window, const std::optional<WindowRegion>& region);
std::optional<WindowRegion> GetWindowRegion(WindowHandle window);

WindowHandle SetFocus(WindowHandle window);
WindowHandle GetFocus();
WindowHandle SetCapture(WindowHandle window);
bool ReleaseCapture();
WindowHandle GetCapture();
void SetCursor(WindowHandle window, Cursor cursor);
bool SetForegroundWindow(WindowHandle window);
// Whether the key is held, as the input of this thread last showed it.
bool IsKeyDown(unsigned virtualKey);
Point GetCursorPos();

Rect GetWorkArea();
Size GetScreenSize();

// The window's drop shadow, where the display can show one (ShadowsSupported); see DisplayBackend.
bool ShadowsSupported();
void SetWindowShadow(WindowHandle window, const Rect& rect, const ImageView& pixels);
void MoveWindowShadow(WindowHandle window, Point topLeft);
void ShowWindowShadow(WindowHandle window, bool visible);
void RemoveWindowShadow(WindowHandle window);

void SetClipboardText(const std::wstring& text);
std::optional<std::wstring> GetClipboardText();

// Marks part of the window (client coordinates; none: all of it) for the next Msg::kPaint.
void InvalidateRect(WindowHandle window, const std::optional<Rect>& rect = std::nullopt);
// Paints at once if anything is marked.
void UpdateWindow(WindowHandle window);

// Between BeginPaint and EndPaint a window draws into its pixels; `dirty` is what must be drawn.
struct PaintScope {
    Surface* surface = nullptr;
    Rect dirty;
};
PaintScope BeginPaint(WindowHandle window);
void EndPaint(WindowHandle window, const PaintScope& scope);
// The window's pixels as last painted (null for no window).
const Surface* GetWindowPixels(WindowHandle window);

// For display backends: queues input for the window's thread.
void DeliverInput(const InputEvent& event);

} // namespace Platform
