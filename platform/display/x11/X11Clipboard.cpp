#include "platform/display/x11/X11State.h"

#include "platform/TextCodec.h"

#include <X11/Xatom.h>

#include <chrono>
#include <poll.h>

namespace Platform {

void X11Display::setClipboardText(const std::wstring& text) {
    m_Impl->clipboard = text;
    XSetSelectionOwner(m_Impl->display, m_Impl->atoms.clipboard, m_Impl->helper, CurrentTime);
    XFlush(m_Impl->display);
}

void X11Display::Impl::answerSelectionRequest(const XSelectionRequestEvent& request) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = None;
    const Atom property = request.property == None ? request.target : request.property;
    if (request.selection == atoms.clipboard && clipboard) {
        if (request.target == atoms.targets) {
            const Atom offered[] = {atoms.targets, atoms.utf8String, XA_STRING};
            XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(offered), 3);
            reply.property = property;
        } else if (request.target == atoms.utf8String || request.target == XA_STRING) {
            const std::string utf8 = ToUtf8(*clipboard);
            XChangeProperty(display, request.requestor, property, request.target, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(utf8.data()),
                            static_cast<int>(utf8.size()));
            reply.property = property;
        }
    }
    XSendEvent(display, request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
    XFlush(display);
}

std::optional<std::wstring> X11Display::clipboardText() {
    Impl& impl = *m_Impl;
    const Window owner = XGetSelectionOwner(impl.display, impl.atoms.clipboard);
    if (owner == None)
        return std::nullopt;
    if (owner == impl.helper)
        return impl.clipboard;
    XDeleteProperty(impl.display, impl.helper, impl.atoms.clipboardProperty);
    XConvertSelection(impl.display, impl.atoms.clipboard, impl.atoms.utf8String, impl.atoms.clipboardProperty,
                      impl.helper, CurrentTime);
    XFlush(impl.display);

    // Another program answers; a second is long enough for a program that answers at all.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    XEvent event;
    while (!XCheckTypedWindowEvent(impl.display, impl.helper, SelectionNotify, &event)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return std::nullopt;
        pollfd descriptor{ConnectionNumber(impl.display), POLLIN, 0};
        poll(&descriptor, 1, static_cast<int>(left.count()));
    }
    if (event.xselection.property == None)
        return std::nullopt;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<std::wstring> text;
    if (XGetWindowProperty(impl.display, impl.helper, impl.atoms.clipboardProperty, 0, 1 << 20, True,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data && format == 8)
        text = FromUtf8(std::string_view(reinterpret_cast<char*>(data), count));
    if (data)
        XFree(data);
    return text;
}

} // namespace Platform
