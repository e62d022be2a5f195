#include "platform/display/x11/X11State.h"

#include "platform/TextCodec.h"
#include "platform/window/WindowSystem.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <utility>

namespace Platform {

namespace {

// Keys the framework looks at, as virtual-key codes; 0 for the others.
unsigned VirtualKey(KeySym symbol) {
    if (symbol >= XK_a && symbol <= XK_z)
        return static_cast<unsigned>('A' + (symbol - XK_a));
    if (symbol >= XK_A && symbol <= XK_Z)
        return static_cast<unsigned>('A' + (symbol - XK_A));
    if (symbol >= XK_0 && symbol <= XK_9)
        return static_cast<unsigned>('0' + (symbol - XK_0));
    switch (symbol) {
    case XK_BackSpace:
        return Key::kBack;
    case XK_Tab:
        return Key::kTab;
    case XK_Return:
    case XK_KP_Enter:
        return Key::kReturn;
    case XK_Shift_L:
    case XK_Shift_R:
        return Key::kShift;
    case XK_Control_L:
    case XK_Control_R:
        return Key::kControl;
    case XK_Escape:
        return Key::kEscape;
    case XK_space:
        return Key::kSpace;
    case XK_End:
        return Key::kEnd;
    case XK_Home:
        return Key::kHome;
    case XK_Left:
        return Key::kLeft;
    case XK_Up:
        return Key::kUp;
    case XK_Right:
        return Key::kRight;
    case XK_Down:
        return Key::kDown;
    case XK_Insert:
        return Key::kInsert;
    case XK_Delete:
        return Key::kDelete;
    default:
        return 0;
    }
}

InputEvent Input(InputEvent::Kind kind, WindowHandle window, Point point = {}) {
    InputEvent event;
    event.kind = kind;
    event.window = window;
    event.point = point;
    return event;
}

} // namespace

void X11Display::Impl::handleKey(X11Window& window, XKeyEvent& event) {
    char buffer[64];
    KeySym symbol = NoSymbol;
    Status status = 0;
    int length = 0;
    if (window.inputContext && event.type == KeyPress)
        length = Xutf8LookupString(window.inputContext, &event, buffer, sizeof buffer, &symbol, &status);
    else
        length = XLookupString(&event, buffer, sizeof buffer, &symbol, nullptr);
    if (length < 0 || length > static_cast<int>(sizeof buffer))
        length = 0;
    if (const unsigned key = VirtualKey(symbol)) {
        InputEvent input = Input(event.type == KeyPress ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp,
                                 window.handle);
        input.key = key;
        DeliverInput(input);
    }
    if (event.type != KeyPress || length == 0)
        return;
    // Control characters are keys, not text.
    std::wstring text;
    for (wchar_t c : FromUtf8(std::string_view(buffer, static_cast<size_t>(length))))
        if (c >= 32 && c != 127)
            text.push_back(c);
    if (!text.empty()) {
        InputEvent input = Input(InputEvent::Kind::Text, window.handle);
        input.text = text;
        DeliverInput(input);
    }
}

void X11Display::Impl::handleEvent(XEvent& event) {
    if (event.type == SelectionRequest) {
        answerSelectionRequest(event.xselectionrequest);
        return;
    }
    if (event.type == SelectionClear && event.xselectionclear.selection == atoms.clipboard) {
        clipboard.reset();
        return;
    }
    // Programs that type characters missing from the keyboard (and layout switches) change the
    // mapping; keys after it must be looked up in the new one.
    if (event.type == MappingNotify) {
        XRefreshKeyboardMapping(&event.xmapping);
        return;
    }
    X11Window* window = findNative(event.xany.window);
    if (!window)
        return;
    using Kind = InputEvent::Kind;
    const WindowHandle handle = window->handle;
    switch (event.type) {
    case Expose:
        // The server lost those pixels; the window's own copy is still good.
        if (const Surface* pixels = GetWindowPixels(handle)) {
            const XExposeEvent& expose = event.xexpose;
            const Rect area{expose.x, expose.y, expose.x + expose.width, expose.y + expose.height};
            present(*window, *pixels, area);
        }
        return;
    case MotionNotify:
        DeliverInput(Input(Kind::MouseMove, handle, {event.xmotion.x_root, event.xmotion.y_root}));
        return;
    case ButtonPress:
    case ButtonRelease: {
        const XButtonEvent& button = event.xbutton;
        const Point point{button.x_root, button.y_root};
        if (button.button == Button4 || button.button == Button5) {
            if (event.type == ButtonPress) {
                InputEvent wheel = Input(Kind::Wheel, handle, point);
                wheel.wheelDelta = button.button == Button4 ? 120 : -120;
                DeliverInput(wheel);
            }
            return;
        }
        if (button.button != Button1 && button.button != Button3)
            return;
        InputEvent press =
            Input(event.type == ButtonPress ? Kind::ButtonDown : Kind::ButtonUp, handle, point);
        press.button = button.button == Button1 ? 1 : 3;
        DeliverInput(press);
        return;
    }
    case LeaveNotify:
        if (event.xcrossing.mode == NotifyNormal)
            DeliverInput(Input(Kind::PointerLeft, handle, {event.xcrossing.x_root, event.xcrossing.y_root}));
        return;
    case KeyPress:
    case KeyRelease:
        handleKey(*window, event.xkey);
        return;
    case FocusIn:
    case FocusOut:
        if (event.xfocus.mode == NotifyGrab || event.xfocus.mode == NotifyUngrab ||
            event.xfocus.detail == NotifyPointer || event.xfocus.detail == NotifyInferior)
            return;
        if (window->inputContext) {
            if (event.type == FocusIn)
                XSetICFocus(window->inputContext);
            else
                XUnsetICFocus(window->inputContext);
        }
        DeliverInput(Input(event.type == FocusIn ? Kind::Activated : Kind::Deactivated, handle));
        return;
    case MapNotify:
        if (focus == handle)
            focusNow(*window);
        return;
    case ConfigureNotify: {
        // The window manager's frame makes the window's own position relative to it; the root
        // coordinates are what the window system keeps.
        int left = event.xconfigure.x;
        int top = event.xconfigure.y;
        if (!event.xconfigure.send_event) {
            Window child = 0;
            XTranslateCoordinates(display, window->xid, root, 0, 0, &left, &top, &child);
        }
        if (left != window->rect.left || top != window->rect.top) {
            window->rect = Offset(window->rect, left - window->rect.left, top - window->rect.top);
            DeliverInput(Input(Kind::Moved, handle, {left, top}));
        }
        return;
    }
    case PropertyNotify: {
        if (event.xproperty.atom != atoms.wmState)
            return;
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        long state = 0;
        if (XGetWindowProperty(display, window->xid, atoms.wmState, 0, 2, False, atoms.wmState, &type,
                               &format, &count, &after, &data) == Success &&
            data && count >= 1)
            state = *reinterpret_cast<long*>(data);
        if (data)
            XFree(data);
        // Only changes the desktop made count. Until the state our own last request asked for is seen,
        // what arrives is the echo of that request or of an earlier one (a minimise seen after the
        // restore that followed it), and the window system knows better already.
        constexpr long kIconic = 3;
        constexpr long kNormal = 1;
        const long previous = std::exchange(window->wmState, state);
        if (window->awaitedWmState != 0) {
            if (state == window->awaitedWmState)
                window->awaitedWmState = 0;
            return;
        }
        if (state == kIconic && previous != kIconic) {
            window->minimised = true;
            DeliverInput(Input(Kind::Minimised, handle));
        } else if (state == kNormal && previous == kIconic) {
            window->minimised = false;
            DeliverInput(Input(Kind::Restored, handle));
        }
        return;
    }
    case ClientMessage: {
        const XClientMessageEvent& message = event.xclient;
        if (message.message_type == atoms.wmProtocols &&
            static_cast<Atom>(message.data.l[0]) == atoms.wmDeleteWindow)
            DeliverInput(Input(Kind::CloseRequest, handle));
        else if (message.message_type == atoms.windowMessage && message.format == 32)
            PostMessage(handle, static_cast<unsigned>(message.data.l[0]),
                        static_cast<WParam>(message.data.l[1]), static_cast<LParam>(message.data.l[2]));
        return;
    }
    default:
        return;
    }
}

} // namespace Platform
