#pragma once

#include "platform/Canvas.h"
#include "platform/window/WindowTypes.h"

#include <optional>
#include <string>

// What a display system does for the window system: it shows what the windows paint and turns the
// user's input into input events (Platform::DeliverInput). The window system keeps every window's
// state (rectangle, visibility, pixels, region, focus, capture) and tells the backend of changes;
// the backend never calls a window procedure itself.
namespace Platform {

// A window's outline: a rectangle from (0, 0) with rounded corners of the given ellipse size.
struct WindowRegion {
    Size size;
    int ellipseWidth = 0;
    int ellipseHeight = 0;

    // Whether the pixel at `point` (window coordinates) lies inside, the same test for hit testing,
    // shaping and snapshots.
    bool contains(Point point) const;
};

class DisplayBackend {
public:
    virtual ~DisplayBackend() = default;

    virtual Size screenSize() const = 0;
    // The screen without panels and docks.
    virtual Rect workArea() const = 0;

    virtual void createWindow(WindowHandle window, const Rect& rect, WindowHandle owner,
                              const std::wstring& title) = 0;
    virtual void destroyWindow(WindowHandle window) = 0;
    virtual void showWindow(WindowHandle window, bool visible) = 0;
    virtual void moveWindow(WindowHandle window, const Rect& rect) = 0;
    // No region: the whole rectangle.
    virtual void setRegion(WindowHandle window, const std::optional<WindowRegion>& region) = 0;
    virtual void setTitle(WindowHandle window, const std::wstring& title) = 0;
    virtual void setIcon(WindowHandle window, const ImageView& icon) = 0;
    virtual void setCursor(WindowHandle window, Cursor cursor) = 0;
    // A disabled window takes no input (an owner while its modal window runs).
    virtual void setEnabled(WindowHandle window, bool enabled) = 0;
    virtual void minimise(WindowHandle window) = 0;
    virtual void restore(WindowHandle window) = 0;
    virtual void bringToFront(WindowHandle window) = 0;
    virtual void setCapture(WindowHandle window, bool captured) = 0;
    // The window that gets the keyboard; kNoWindow: none does.
    virtual void setFocus(WindowHandle window) = 0;

    // The window's pixels changed inside `dirty` (window coordinates).
    virtual void present(WindowHandle window, const Surface& pixels, const Rect& dirty) = 0;

    // Moves the window with the pointer while the left button is held, starting at `screenPoint`.
    // False: the backend leaves the move to the window system, which follows the pointer itself.
    virtual bool beginSystemMove(WindowHandle window, Point screenPoint) = 0;

    // A window's drop shadow: premultiplied pixels blended over whatever lies below, kept behind
    // the window, taking no input and never activated. One per window; it goes with the window.
    // Only displays that can blend per-pixel alpha have shadows.
    virtual bool supportsShadows() const = 0;
    // Creates or replaces the shadow's place (screen coordinates) and pixels (of the rectangle's
    // size); its visibility stays as it was (hidden for a new one).
    virtual void setShadow(WindowHandle owner, const Rect& rect, const ImageView& pixels) = 0;
    virtual void moveShadow(WindowHandle owner, Point topLeft) = 0;
    virtual void showShadow(WindowHandle owner, bool visible) = 0;
    virtual void removeShadow(WindowHandle owner) = 0;

    virtual void setClipboardText(const std::wstring& text) = 0;
    virtual std::optional<std::wstring> clipboardText() = 0;

    // A descriptor that becomes readable when the display has events, or -1; dispatchEvents() is
    // then called on the windows' thread to turn them into input.
    virtual int eventDescriptor() const = 0;
    virtual void dispatchEvents() = 0;
};

// Input a backend has read, in screen coordinates where it concerns the pointer.
struct InputEvent {
    enum class Kind {
        MouseMove,
        ButtonDown,
        ButtonUp,
        Wheel,
        PointerLeft, // the pointer left the window
        KeyDown,
        KeyUp,
        Text,         // typed text, after the input method
        CloseRequest, // the user asked to close the window
        Minimised,    // the display minimised the window
        Restored,
        Moved, // the display moved the window: `point` is the new top-left corner
        Activated,
        Deactivated,
    };
    Kind kind = Kind::MouseMove;
    WindowHandle window = kNoWindow;
    Point point;        // screen coordinates of the pointer
    int button = 1;     // 1 left, 3 right
    int wheelDelta = 0; // multiples of 120, positive away from the user
    unsigned key = 0;   // virtual-key code
    std::wstring text;
};

} // namespace Platform
