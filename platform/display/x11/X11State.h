#pragma once

// Inside the X11 display: the connection, the atoms and the per-window records shared by its parts.

#include "platform/display/x11/X11Display.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <map>
#include <optional>
#include <string>

namespace Platform {

struct X11Window {
    WindowHandle handle = kNoWindow;
    Window xid = 0;
    XIC inputContext = nullptr;
    Rect rect;               // as last asked for or reported, screen coordinates
    bool mapped = false;     // shown by us
    bool minimised = false;  // iconified (by us or by the window manager)
    long wmState = 0;        // the window manager's last WM_STATE (0 withdrawn, 1 normal, 3 iconic)
    long awaitedWmState = 0; // the state our own last request will bring, until it is seen
    // Shared-memory picture of the window's size for presenting; none when the server is remote.
    XImage* shmImage = nullptr;
    XShmSegmentInfo shmInfo{};
};

// A window's shadow: an override-redirect window of the 32-bit visual, kept below its owner.
struct X11Shadow {
    Window xid = 0;
    Rect rect;
    bool shown = false;
};

struct Atoms {
    Atom wmProtocols, wmDeleteWindow, wmState, wmChangeState, wmTransientFor;
    Atom netWmName, utf8String, netWmIcon, netWmPid, netActiveWindow, netWorkArea, netWmMoveResize;
    Atom netSupported, netSupportingWmCheck, netWmWindowType, netWmWindowTypeNormal, netWmWindowTypeDialog;
    Atom motifWmHints, clipboard, targets, clipboardProperty, windowMessage, compositingManager;
};

struct X11Display::Impl {
    ::Display* display = nullptr;
    int screen = 0;
    Window root = 0;
    Visual* visual = nullptr;
    int depth = 0;
    Atoms atoms{};
    bool shm = false;
    XIM inputMethod = nullptr;
    ::Cursor cursors[3] = {0, 0, 0};
    Window helper = 0; // owns the clipboard selection
    std::optional<std::wstring> clipboard;
    std::map<WindowHandle, X11Window> windows;
    std::map<WindowHandle, X11Shadow> shadows;
    Visual* argbVisual = nullptr; // none when the server has no 32-bit visual
    Colormap argbColormap = 0;
    // The window that should have the keyboard; a window manager may map it only later.
    WindowHandle focus = kNoWindow;

    X11Window* find(WindowHandle window);
    X11Window* findNative(Window xid);
    bool wmSupports(Atom feature) const;
    void sendToRoot(Window window, Atom type, long a, long b, long c, long d, long e);
    void releaseShm(X11Window& window);
    void present(X11Window& window, const Surface& pixels, const Rect& dirty);
    // Puts the shadow right below its owner's top-level window (the window manager's frame if any).
    void stackBelowOwner(const X11Shadow& shadow, const X11Window& owner);
    // Gives the window the keyboard when the server can (it must be viewable).
    void focusNow(X11Window& window);
    void handleEvent(XEvent& event);
    void handleKey(X11Window& window, XKeyEvent& event);
    void answerSelectionRequest(const XSelectionRequestEvent& request);
};

} // namespace Platform
