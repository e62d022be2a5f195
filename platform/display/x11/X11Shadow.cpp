#include "platform/display/x11/X11State.h"

#include <X11/extensions/shape.h>

namespace Platform {

// Per-pixel alpha reaches the screen only through a compositing manager; without one a shadow
// would be an opaque block, so there is none.
bool X11Display::supportsShadows() const {
    return m_Impl->argbVisual &&
           XGetSelectionOwner(m_Impl->display, m_Impl->atoms.compositingManager) != None;
}

void X11Display::Impl::stackBelowOwner(const X11Shadow& shadow, const X11Window& owner) {
    Window top = owner.xid;
    while (true) {
        Window rootReturn = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, top, &rootReturn, &parent, &children, &count))
            return;
        if (children)
            XFree(children);
        if (parent == root || parent == 0)
            break;
        top = parent;
    }
    XWindowChanges changes{};
    changes.sibling = top;
    changes.stack_mode = Below;
    XConfigureWindow(display, shadow.xid, CWSibling | CWStackMode, &changes);
}

void X11Display::setShadow(WindowHandle owner, const Rect& rect, const ImageView& pixels) {
    X11Window* ownerWindow = m_Impl->find(owner);
    if (!ownerWindow || !m_Impl->argbVisual)
        return;
    ::Display* display = m_Impl->display;
    X11Shadow& shadow = m_Impl->shadows[owner];
    const int width = std::max(rect.width(), 1);
    const int height = std::max(rect.height(), 1);
    if (!shadow.xid) {
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.background_pixel = 0;
        attributes.border_pixel = 0;
        attributes.colormap = m_Impl->argbColormap;
        shadow.xid =
            XCreateWindow(display, m_Impl->root, rect.left, rect.top, static_cast<unsigned>(width),
                          static_cast<unsigned>(height), 0, 32, InputOutput, m_Impl->argbVisual,
                          CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWColormap, &attributes);
        // No input shape: every click goes to whatever lies below.
        XShapeCombineRectangles(display, shadow.xid, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
        if (shadow.shown)
            XMapWindow(display, shadow.xid);
    } else {
        XMoveResizeWindow(display, shadow.xid, rect.left, rect.top, static_cast<unsigned>(width),
                          static_cast<unsigned>(height));
    }
    shadow.rect = rect;
    if (pixels.pixels && pixels.width == rect.width() && pixels.height == rect.height() && !rect.isEmpty()) {
        XImage image{};
        image.width = pixels.width;
        image.height = pixels.height;
        image.format = ZPixmap;
        image.data = const_cast<char*>(reinterpret_cast<const char*>(pixels.pixels));
        image.byte_order = LSBFirst;
        image.bitmap_unit = 32;
        image.bitmap_bit_order = LSBFirst;
        image.bitmap_pad = 32;
        image.depth = 32;
        image.bytes_per_line = pixels.width * 4;
        image.bits_per_pixel = 32;
        image.red_mask = 0xFF0000;
        image.green_mask = 0x00FF00;
        image.blue_mask = 0x0000FF;
        XInitImage(&image);
        GC gc = XCreateGC(display, shadow.xid, 0, nullptr);
        XPutImage(display, shadow.xid, gc, &image, 0, 0, 0, 0, static_cast<unsigned>(pixels.width),
                  static_cast<unsigned>(pixels.height));
        XFreeGC(display, gc);
    }
    if (shadow.shown)
        m_Impl->stackBelowOwner(shadow, *ownerWindow);
    XFlush(display);
}

void X11Display::moveShadow(WindowHandle owner, Point topLeft) {
    auto found = m_Impl->shadows.find(owner);
    X11Window* ownerWindow = m_Impl->find(owner);
    if (found == m_Impl->shadows.end() || !ownerWindow || !found->second.xid)
        return;
    X11Shadow& shadow = found->second;
    shadow.rect = Offset(shadow.rect, topLeft.x - shadow.rect.left, topLeft.y - shadow.rect.top);
    XMoveWindow(m_Impl->display, shadow.xid, topLeft.x, topLeft.y);
    if (shadow.shown)
        m_Impl->stackBelowOwner(shadow, *ownerWindow);
    XFlush(m_Impl->display);
}

void X11Display::showShadow(WindowHandle owner, bool visible) {
    X11Window* ownerWindow = m_Impl->find(owner);
    if (!ownerWindow || !m_Impl->argbVisual)
        return;
    // Asked before the first pixels: the window is mapped as soon as it exists.
    X11Shadow& shadow = m_Impl->shadows[owner];
    if (shadow.shown == visible)
        return;
    shadow.shown = visible;
    if (!shadow.xid)
        return;
    if (visible) {
        XMapWindow(m_Impl->display, shadow.xid);
        m_Impl->stackBelowOwner(shadow, *ownerWindow);
    } else {
        XUnmapWindow(m_Impl->display, shadow.xid);
    }
    XFlush(m_Impl->display);
}

void X11Display::removeShadow(WindowHandle owner) {
    auto found = m_Impl->shadows.find(owner);
    if (found == m_Impl->shadows.end())
        return;
    if (found->second.xid)
        XDestroyWindow(m_Impl->display, found->second.xid);
    m_Impl->shadows.erase(found);
    XFlush(m_Impl->display);
}

unsigned long X11Display::shadowWindow(WindowHandle owner) const {
    auto found = m_Impl->shadows.find(owner);
    return found == m_Impl->shadows.end() ? 0 : found->second.xid;
}

} // namespace Platform
