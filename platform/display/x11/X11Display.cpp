#include "platform/display/x11/X11State.h"

#include "platform/TextCodec.h"
#include "platform/window/WindowSystem.h"

#include <X11/Xatom.h>
#include <X11/cursorfont.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>
#include <vector>

namespace Platform {

namespace {

// Requests on windows that went away in between (a window manager's frame, a window destroyed by
// its owner) fail harmlessly; Xlib's default handler would end the process.
int IgnoreErrors(::Display*, XErrorEvent*) {
    return 0;
}

// The input method needs a locale whose characters it can hand over; the plain C locale has none.
void EnsureCharacterLocale() {
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    if (!current || std::strcmp(current, "C") == 0 || std::strcmp(current, "POSIX") == 0) {
        if (!std::setlocale(LC_CTYPE, "") || std::strcmp(std::setlocale(LC_CTYPE, nullptr), "C") == 0)
            std::setlocale(LC_CTYPE, "C.UTF-8");
    }
    XSetLocaleModifiers("");
}

Atom Intern(::Display* display, const char* name) {
    return XInternAtom(display, name, False);
}

// Decorations off: the windows draw their own frame and caption.
void RemoveDecorations(::Display* display, Window window, Atom motifHints) {
    struct {
        unsigned long flags, functions, decorations;
        long inputMode;
        unsigned long status;
    } hints{2, 0, 0, 0, 0};
    XChangeProperty(display, window, motifHints, motifHints, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&hints), 5);
}

} // namespace

X11Window* X11Display::Impl::find(WindowHandle window) {
    auto found = windows.find(window);
    return found == windows.end() ? nullptr : &found->second;
}

X11Window* X11Display::Impl::findNative(Window xid) {
    for (auto& [handle, window] : windows)
        if (window.xid == xid)
            return &window;
    return nullptr;
}

bool X11Display::Impl::wmSupports(Atom feature) const {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Window check = 0;
    if (XGetWindowProperty(display, root, atoms.netSupportingWmCheck, 0, 1, False, XA_WINDOW, &type, &format,
                           &count, &after, &data) == Success &&
        data && count == 1)
        check = *reinterpret_cast<Window*>(data);
    if (data)
        XFree(data);
    if (!check)
        return false;
    if (feature == None)
        return true;
    data = nullptr;
    bool supported = false;
    if (XGetWindowProperty(display, root, atoms.netSupported, 0, 4096, False, XA_ATOM, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
        const Atom* list = reinterpret_cast<Atom*>(data);
        supported = std::find(list, list + count, feature) != list + count;
    }
    if (data)
        XFree(data);
    return supported;
}

void X11Display::Impl::sendToRoot(Window window, Atom type, long a, long b, long c, long d, long e) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    event.xclient.data.l[0] = a;
    event.xclient.data.l[1] = b;
    event.xclient.data.l[2] = c;
    event.xclient.data.l[3] = d;
    event.xclient.data.l[4] = e;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

void X11Display::Impl::releaseShm(X11Window& window) {
    if (!window.shmImage)
        return;
    XShmDetach(display, &window.shmInfo);
    XDestroyImage(window.shmImage);
    shmdt(window.shmInfo.shmaddr);
    window.shmImage = nullptr;
}

std::unique_ptr<X11Display> X11Display::Open() {
    EnsureCharacterLocale();
    ::Display* display = XOpenDisplay(nullptr);
    if (!display)
        return nullptr;
    XSetErrorHandler(IgnoreErrors);
    auto impl = std::make_unique<Impl>();
    impl->display = display;
    impl->screen = DefaultScreen(display);
    impl->root = RootWindow(display, impl->screen);
    impl->visual = DefaultVisual(display, impl->screen);
    impl->depth = DefaultDepth(display, impl->screen);
    Atoms& a = impl->atoms;
    a.wmProtocols = Intern(display, "WM_PROTOCOLS");
    a.wmDeleteWindow = Intern(display, "WM_DELETE_WINDOW");
    a.wmState = Intern(display, "WM_STATE");
    a.wmChangeState = Intern(display, "WM_CHANGE_STATE");
    a.wmTransientFor = Intern(display, "WM_TRANSIENT_FOR");
    a.netWmName = Intern(display, "_NET_WM_NAME");
    a.utf8String = Intern(display, "UTF8_STRING");
    a.netWmIcon = Intern(display, "_NET_WM_ICON");
    a.netWmPid = Intern(display, "_NET_WM_PID");
    a.netActiveWindow = Intern(display, "_NET_ACTIVE_WINDOW");
    a.netWorkArea = Intern(display, "_NET_WORKAREA");
    a.netWmMoveResize = Intern(display, "_NET_WM_MOVERESIZE");
    a.netSupported = Intern(display, "_NET_SUPPORTED");
    a.netSupportingWmCheck = Intern(display, "_NET_SUPPORTING_WM_CHECK");
    a.netWmWindowType = Intern(display, "_NET_WM_WINDOW_TYPE");
    a.netWmWindowTypeNormal = Intern(display, "_NET_WM_WINDOW_TYPE_NORMAL");
    a.netWmWindowTypeDialog = Intern(display, "_NET_WM_WINDOW_TYPE_DIALOG");
    a.motifWmHints = Intern(display, "_MOTIF_WM_HINTS");
    a.clipboard = Intern(display, "CLIPBOARD");
    a.targets = Intern(display, "TARGETS");
    a.clipboardProperty = Intern(display, "UILIB_CLIPBOARD");
    a.windowMessage = Intern(display, kWindowMessageAtom);
    a.compositingManager = Intern(display, ("_NET_WM_CM_S" + std::to_string(impl->screen)).c_str());
    XVisualInfo argb{};
    if (XMatchVisualInfo(display, impl->screen, 32, TrueColor, &argb)) {
        impl->argbVisual = argb.visual;
        impl->argbColormap = XCreateColormap(display, impl->root, argb.visual, AllocNone);
    }

    // Shared memory only works when the server runs on this machine; the extension says so.
    int major = 0, minor = 0;
    Bool pixmaps = False;
    impl->shm = XShmQueryVersion(display, &major, &minor, &pixmaps) && impl->depth == 24 &&
                impl->visual->c_class == TrueColor;
    impl->inputMethod = XOpenIM(display, nullptr, nullptr, nullptr);
    impl->cursors[0] = XCreateFontCursor(display, XC_left_ptr);
    impl->cursors[1] = XCreateFontCursor(display, XC_hand2);
    impl->cursors[2] = XCreateFontCursor(display, XC_xterm);
    impl->helper = XCreateSimpleWindow(display, impl->root, -10, -10, 1, 1, 0, 0, 0);
    XSelectInput(display, impl->root, PropertyChangeMask);
    return std::unique_ptr<X11Display>(new X11Display(std::move(impl)));
}

X11Display::X11Display(std::unique_ptr<Impl> impl) : m_Impl(std::move(impl)) {}

X11Display::~X11Display() {
    for (auto& [handle, window] : m_Impl->windows) {
        m_Impl->releaseShm(window);
        if (window.inputContext)
            XDestroyIC(window.inputContext);
        XDestroyWindow(m_Impl->display, window.xid);
    }
    if (m_Impl->inputMethod)
        XCloseIM(m_Impl->inputMethod);
    for (::Cursor cursor : m_Impl->cursors)
        XFreeCursor(m_Impl->display, cursor);
    for (auto& [owner, shadow] : m_Impl->shadows)
        if (shadow.xid)
            XDestroyWindow(m_Impl->display, shadow.xid);
    if (m_Impl->argbColormap)
        XFreeColormap(m_Impl->display, m_Impl->argbColormap);
    XDestroyWindow(m_Impl->display, m_Impl->helper);
    XCloseDisplay(m_Impl->display);
}

unsigned long X11Display::nativeWindow(WindowHandle window) const {
    const X11Window* found = m_Impl->find(window);
    return found ? found->xid : 0;
}

bool X11Display::hasWindowManager() const {
    return m_Impl->wmSupports(None);
}

bool X11Display::isOnScreen(WindowHandle window) const {
    const X11Window* found = m_Impl->find(window);
    XWindowAttributes attributes{};
    return found && XGetWindowAttributes(m_Impl->display, found->xid, &attributes) &&
           attributes.map_state == IsViewable;
}

void X11Display::sync() {
    XSync(m_Impl->display, False);
}

Size X11Display::screenSize() const {
    return {DisplayWidth(m_Impl->display, m_Impl->screen), DisplayHeight(m_Impl->display, m_Impl->screen)};
}

Rect X11Display::workArea() const {
    const Size screen = screenSize();
    Rect area{0, 0, screen.width, screen.height};
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(m_Impl->display, m_Impl->root, m_Impl->atoms.netWorkArea, 0, 4, False, XA_CARDINAL,
                           &type, &format, &count, &after, &data) == Success &&
        data && count == 4) {
        const long* values = reinterpret_cast<long*>(data);
        if (values[2] > 0 && values[3] > 0)
            area = {static_cast<int>(values[0]), static_cast<int>(values[1]),
                    static_cast<int>(values[0] + values[2]), static_cast<int>(values[1] + values[3])};
    }
    if (data)
        XFree(data);
    return area;
}

void X11Display::createWindow(WindowHandle window, const Rect& rect, WindowHandle owner,
                              const std::wstring& title) {
    ::Display* display = m_Impl->display;
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, m_Impl->screen);
    attributes.bit_gravity = NorthWestGravity;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                            StructureNotifyMask | FocusChangeMask | PropertyChangeMask;
    const Window xid = XCreateWindow(display, m_Impl->root, rect.left, rect.top, std::max(rect.width(), 1),
                                     std::max(rect.height(), 1), 0, CopyFromParent, InputOutput,
                                     CopyFromParent, CWBackPixel | CWBitGravity | CWEventMask, &attributes);
    const Atoms& atoms = m_Impl->atoms;
    XSetWMProtocols(display, xid, const_cast<Atom*>(&atoms.wmDeleteWindow), 1);
    RemoveDecorations(display, xid, atoms.motifWmHints);

    // The window manager must put the window where the window system says.
    XSizeHints* size = XAllocSizeHints();
    size->flags = USPosition | PPosition | PSize;
    size->x = rect.left;
    size->y = rect.top;
    size->width = rect.width();
    size->height = rect.height();
    XSetWMNormalHints(display, xid, size);
    XFree(size);
    XWMHints* hints = XAllocWMHints();
    hints->flags = InputHint | StateHint;
    hints->input = True;
    hints->initial_state = NormalState;
    XSetWMHints(display, xid, hints);
    XFree(hints);
    XClassHint* classHint = XAllocClassHint();
    std::string className = "Tovaclip";
    classHint->res_name = className.data();
    classHint->res_class = className.data();
    XSetClassHint(display, xid, classHint);
    XFree(classHint);
    const long pid = getpid();
    XChangeProperty(display, xid, atoms.netWmPid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);

    X11Window* ownerWindow = m_Impl->find(owner);
    if (ownerWindow)
        XSetTransientForHint(display, xid, ownerWindow->xid);
    const Atom type = ownerWindow ? atoms.netWmWindowTypeDialog : atoms.netWmWindowTypeNormal;
    XChangeProperty(display, xid, atoms.netWmWindowType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&type), 1);

    X11Window& record = m_Impl->windows[window];
    record.handle = window;
    record.xid = xid;
    record.rect = rect;
    if (m_Impl->inputMethod)
        record.inputContext =
            XCreateIC(m_Impl->inputMethod, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow,
                      xid, XNFocusWindow, xid, nullptr);
    setTitle(window, title);
    XDefineCursor(display, xid, m_Impl->cursors[0]);
    XFlush(display);
}

void X11Display::destroyWindow(WindowHandle window) {
    X11Window* found = m_Impl->find(window);
    if (!found)
        return;
    m_Impl->releaseShm(*found);
    if (found->inputContext)
        XDestroyIC(found->inputContext);
    XDestroyWindow(m_Impl->display, found->xid);
    m_Impl->windows.erase(window);
    XFlush(m_Impl->display);
}

void X11Display::showWindow(WindowHandle window, bool visible) {
    X11Window* found = m_Impl->find(window);
    if (!found || found->mapped == visible)
        return;
    found->mapped = visible;
    if (visible) {
        XMapRaised(m_Impl->display, found->xid);
        // Without a window manager the position given at creation is the one kept; with one it
        // may have placed the window itself, so it is asked again.
        XMoveWindow(m_Impl->display, found->xid, found->rect.left, found->rect.top);
    } else {
        XUnmapWindow(m_Impl->display, found->xid);
        // The window manager learns of the withdrawal through a synthetic unmap.
        XEvent event{};
        event.xunmap.type = UnmapNotify;
        event.xunmap.event = m_Impl->root;
        event.xunmap.window = found->xid;
        XSendEvent(m_Impl->display, m_Impl->root, False, SubstructureRedirectMask | SubstructureNotifyMask,
                   &event);
    }
    XFlush(m_Impl->display);
}

void X11Display::moveWindow(WindowHandle window, const Rect& rect) {
    X11Window* found = m_Impl->find(window);
    if (!found || found->rect == rect)
        return;
    const bool sized = found->rect.width() != rect.width() || found->rect.height() != rect.height();
    found->rect = rect;
    if (sized)
        m_Impl->releaseShm(*found);
    XMoveResizeWindow(m_Impl->display, found->xid, rect.left, rect.top, std::max(rect.width(), 1),
                      std::max(rect.height(), 1));
    XFlush(m_Impl->display);
}

void X11Display::setRegion(WindowHandle window, const std::optional<WindowRegion>& region) {
    X11Window* found = m_Impl->find(window);
    if (!found)
        return;
    if (!region) {
        XShapeCombineMask(m_Impl->display, found->xid, ShapeBounding, 0, 0, None, ShapeSet);
        XFlush(m_Impl->display);
        return;
    }
    // One rectangle per run of inside pixels on each row, within the window.
    const int width = std::min(region->size.width, found->rect.width());
    const int height = std::min(region->size.height, found->rect.height());
    std::vector<XRectangle> rectangles;
    for (int y = 0; y < height; ++y) {
        int x = 0;
        while (x < width) {
            while (x < width && !region->contains({x, y}))
                ++x;
            const int start = x;
            while (x < width && region->contains({x, y}))
                ++x;
            if (x > start)
                rectangles.push_back({static_cast<short>(start), static_cast<short>(y),
                                      static_cast<unsigned short>(x - start), 1});
        }
    }
    XShapeCombineRectangles(m_Impl->display, found->xid, ShapeBounding, 0, 0, rectangles.data(),
                            static_cast<int>(rectangles.size()), ShapeSet, Unsorted);
    XFlush(m_Impl->display);
}

void X11Display::setTitle(WindowHandle window, const std::wstring& title) {
    X11Window* found = m_Impl->find(window);
    if (!found)
        return;
    const std::string utf8 = ToUtf8(title);
    XChangeProperty(m_Impl->display, found->xid, m_Impl->atoms.netWmName, m_Impl->atoms.utf8String, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(utf8.data()),
                    static_cast<int>(utf8.size()));
    // The classic name too, in the encoding the text needs (not Latin-1 bytes that merely look alike).
    Xutf8SetWMProperties(m_Impl->display, found->xid, utf8.c_str(), utf8.c_str(), nullptr, 0, nullptr,
                         nullptr, nullptr);
}

void X11Display::setIcon(WindowHandle window, const ImageView& icon) {
    X11Window* found = m_Impl->find(window);
    if (!found || !icon.pixels || icon.width <= 0 || icon.height <= 0)
        return;
    // Width, height, then non-premultiplied ARGB, one pixel to a long.
    std::vector<long> data{icon.width, icon.height};
    for (int i = 0; i < icon.width * icon.height; ++i) {
        const std::uint32_t pixel = icon.pixels[i];
        const std::uint32_t alpha = pixel >> 24;
        auto channel = [&](int shift) {
            const std::uint32_t value = (pixel >> shift) & 0xFF;
            return alpha == 0 ? 0u : std::min(255u, value * 255 / alpha);
        };
        data.push_back(
            static_cast<long>((alpha << 24) | (channel(16) << 16) | (channel(8) << 8) | channel(0)));
    }
    XChangeProperty(m_Impl->display, found->xid, m_Impl->atoms.netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
    XFlush(m_Impl->display);
}

void X11Display::setCursor(WindowHandle window, Cursor cursor) {
    X11Window* found = m_Impl->find(window);
    if (!found)
        return;
    XDefineCursor(m_Impl->display, found->xid, m_Impl->cursors[static_cast<int>(cursor)]);
    XFlush(m_Impl->display);
}

// The window system keeps input from a disabled window; nothing to tell the server.
void X11Display::setEnabled(WindowHandle, bool) {}

void X11Display::minimise(WindowHandle window) {
    X11Window* found = m_Impl->find(window);
    if (!found || found->minimised)
        return;
    found->minimised = true;
    if (hasWindowManager()) {
        found->awaitedWmState = IconicState;
        XIconifyWindow(m_Impl->display, found->xid, m_Impl->screen);
    } else {
        XUnmapWindow(m_Impl->display, found->xid); // nobody to keep an icon: the window just goes
    }
    XFlush(m_Impl->display);
}

void X11Display::restore(WindowHandle window) {
    X11Window* found = m_Impl->find(window);
    if (!found || !found->minimised)
        return;
    found->minimised = false;
    if (hasWindowManager())
        found->awaitedWmState = NormalState;
    XMapRaised(m_Impl->display, found->xid);
    if (hasWindowManager())
        m_Impl->sendToRoot(found->xid, m_Impl->atoms.netActiveWindow, 2, CurrentTime, 0, 0, 0);
    XFlush(m_Impl->display);
}

void X11Display::bringToFront(WindowHandle window) {
    X11Window* found = m_Impl->find(window);
    if (!found || !found->mapped)
        return;
    XRaiseWindow(m_Impl->display, found->xid);
    if (hasWindowManager())
        m_Impl->sendToRoot(found->xid, m_Impl->atoms.netActiveWindow, 2, CurrentTime, 0, 0, 0);
    XFlush(m_Impl->display);
}

// While a button is held the server sends the pointer's events to the window it went down in;
// that is all the capture the framework asks for.
void X11Display::setCapture(WindowHandle, bool) {}

void X11Display::setFocus(WindowHandle window) {
    m_Impl->focus = window;
    if (X11Window* found = m_Impl->find(window))
        m_Impl->focusNow(*found);
}

void X11Display::Impl::focusNow(X11Window& window) {
    if (!window.mapped || window.minimised)
        return;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window.xid, &attributes) && attributes.map_state == IsViewable)
        XSetInputFocus(display, window.xid, RevertToParent, CurrentTime);
    if (window.inputContext)
        XSetICFocus(window.inputContext);
    XFlush(display);
}

void X11Display::present(WindowHandle window, const Surface& pixels, const Rect& dirty) {
    if (X11Window* found = m_Impl->find(window))
        m_Impl->present(*found, pixels, dirty);
}

void X11Display::Impl::present(X11Window& window, const Surface& pixels, const Rect& dirty) {
    X11Window* found = &window;
    if (!found->mapped)
        return;
    const Rect area = Intersect(dirty, {0, 0, pixels.width(), pixels.height()});
    if (area.isEmpty())
        return;
    GC gc = DefaultGC(display, screen);
    if (shm && !found->shmImage) {
        XImage* image =
            XShmCreateImage(display, visual, 24, ZPixmap, nullptr, &found->shmInfo,
                            static_cast<unsigned>(pixels.width()), static_cast<unsigned>(pixels.height()));
        if (image) {
            found->shmInfo.shmid = shmget(
                IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * image->height, IPC_CREAT | 0600);
            found->shmInfo.shmaddr = image->data = static_cast<char*>(
                found->shmInfo.shmid >= 0 ? shmat(found->shmInfo.shmid, nullptr, 0) : nullptr);
            found->shmInfo.readOnly = False;
            const bool attached = found->shmInfo.shmid >= 0 && image->data != reinterpret_cast<char*>(-1) &&
                                  XShmAttach(display, &found->shmInfo);
            XSync(display, False);
            if (found->shmInfo.shmid >= 0)
                shmctl(found->shmInfo.shmid, IPC_RMID, nullptr); // goes when both sides detach
            if (attached) {
                found->shmImage = image;
            } else {
                if (image->data && image->data != reinterpret_cast<char*>(-1))
                    shmdt(image->data);
                image->data = nullptr;
                XDestroyImage(image);
                shm = false; // a remote server: plain requests from now on
            }
        }
    }
    if (found->shmImage && found->shmImage->width == pixels.width() &&
        found->shmImage->height == pixels.height()) {
        XImage* image = found->shmImage;
        for (int y = area.top; y < area.bottom; ++y)
            std::memcpy(image->data + static_cast<size_t>(y) * image->bytes_per_line + area.left * 4,
                        pixels.data() + static_cast<size_t>(y) * pixels.stride() + area.left * 4,
                        static_cast<size_t>(area.width()) * 4);
        XShmPutImage(display, found->xid, gc, image, area.left, area.top, area.left, area.top,
                     static_cast<unsigned>(area.width()), static_cast<unsigned>(area.height()), False);
    } else {
        XImage image{};
        image.width = pixels.width();
        image.height = pixels.height();
        image.format = ZPixmap;
        image.data = const_cast<char*>(reinterpret_cast<const char*>(pixels.data()));
        image.byte_order = LSBFirst;
        image.bitmap_unit = 32;
        image.bitmap_bit_order = LSBFirst;
        image.bitmap_pad = 32;
        image.depth = 24;
        image.bytes_per_line = pixels.stride();
        image.bits_per_pixel = 32;
        image.red_mask = 0xFF0000;
        image.green_mask = 0x00FF00;
        image.blue_mask = 0x0000FF;
        XInitImage(&image);
        XPutImage(display, found->xid, gc, &image, area.left, area.top, area.left, area.top,
                  static_cast<unsigned>(area.width()), static_cast<unsigned>(area.height()));
    }
    XFlush(display);
}

bool X11Display::beginSystemMove(WindowHandle window, Point screenPoint) {
    X11Window* found = m_Impl->find(window);
    if (!found || !m_Impl->wmSupports(m_Impl->atoms.netWmMoveResize))
        return false;
    constexpr long kMove = 8;
    // The window manager takes the pointer over: the press's implicit grab must go first.
    XUngrabPointer(m_Impl->display, CurrentTime);
    m_Impl->sendToRoot(found->xid, m_Impl->atoms.netWmMoveResize, screenPoint.x, screenPoint.y, kMove,
                       Button1, 1);
    XFlush(m_Impl->display);
    return true;
}

int X11Display::eventDescriptor() const {
    return ConnectionNumber(m_Impl->display);
}

void X11Display::dispatchEvents() {
    ::Display* display = m_Impl->display;
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        if (XFilterEvent(&event, None))
            continue;
        m_Impl->handleEvent(event);
    }
    XFlush(display);
}

} // namespace Platform
