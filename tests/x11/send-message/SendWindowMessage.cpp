// Sends a window a message the way another program does: x11-send-message <window id> <message>
// <wParam> <lParam>. Exits 0 once the server has the event.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: x11-send-message <window id> <message> <wParam> <lParam>\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x11-send-message: no X server\n");
        return 1;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::strtoul(argv[1], nullptr, 0);
    event.xclient.message_type = XInternAtom(display, "UILIB_WINDOW_MESSAGE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = std::strtol(argv[2], nullptr, 0);
    event.xclient.data.l[1] = std::strtol(argv[3], nullptr, 0);
    event.xclient.data.l[2] = std::strtol(argv[4], nullptr, 0);
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
