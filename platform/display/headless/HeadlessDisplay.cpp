#include "platform/display/headless/HeadlessDisplay.h"

#include "platform/window/WindowSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Platform {

using Kind = InputEvent::Kind;

namespace {

InputEvent Input(Kind kind, WindowHandle window = kNoWindow) {
    InputEvent event;
    event.kind = kind;
    event.window = window;
    return event;
}

} // namespace

HeadlessDisplay& HeadlessDisplay::Current() {
    auto* headless = dynamic_cast<HeadlessDisplay*>(&Display());
    if (!headless) {
        std::fputs("the headless display was asked for while another display runs\n", stderr);
        std::abort();
    }
    return *headless;
}

HeadlessDisplay::Window* HeadlessDisplay::find(WindowHandle window) {
    auto found = std::find_if(m_Windows.begin(), m_Windows.end(),
                              [window](const Window& each) { return each.handle == window; });
    return found == m_Windows.end() ? nullptr : &*found;
}

const HeadlessDisplay::Window* HeadlessDisplay::find(WindowHandle window) const {
    return const_cast<HeadlessDisplay*>(this)->find(window);
}

WindowHandle HeadlessDisplay::windowAtLocked(Point screenPoint) const {
    for (const Window& window : m_Windows) {
        if (!window.shown || window.minimised || !window.rect.contains(screenPoint))
            continue;
        const Point inside{screenPoint.x - window.rect.left, screenPoint.y - window.rect.top};
        if (!window.region || window.region->contains(inside))
            return window.handle;
    }
    return kNoWindow;
}

WindowHandle HeadlessDisplay::windowAt(Point screenPoint) const {
    std::lock_guard lock(m_Lock);
    return windowAtLocked(screenPoint);
}

WindowHandle HeadlessDisplay::pointerTarget() const {
    if (m_Capture != kNoWindow)
        return m_Capture;
    if (m_Grab != kNoWindow)
        return m_Grab;
    return windowAtLocked(m_Pointer);
}

void HeadlessDisplay::sendPointer(InputEvent event) {
    const WindowHandle target = pointerTarget();
    if (target != m_Hover && m_Hover != kNoWindow && m_Grab == kNoWindow)
        {
        InputEvent left = Input(Kind::PointerLeft, m_Hover);
        left.point = m_Pointer;
        DeliverInput(left);
    }
    if (m_Grab == kNoWindow)
        m_Hover = target;
    if (target == kNoWindow)
        return;
    event.window = target;
    event.point = m_Pointer;
    DeliverInput(event);
}

Point HeadlessDisplay::pointer() const {
    std::lock_guard lock(m_Lock);
    return m_Pointer;
}

void HeadlessDisplay::movePointer(Point screenPoint) {
    std::lock_guard lock(m_Lock);
    m_Pointer = screenPoint;
    sendPointer(Input(Kind::MouseMove));
}

void HeadlessDisplay::pressButton(int button) {
    std::lock_guard lock(m_Lock);
    const WindowHandle target = pointerTarget();
    InputEvent event = Input(Kind::ButtonDown);
    event.button = button;
    sendPointer(event);
    if (m_Grab == kNoWindow)
        m_Grab = target;
}

void HeadlessDisplay::releaseButton(int button) {
    std::lock_guard lock(m_Lock);
    InputEvent event = Input(Kind::ButtonUp);
    event.button = button;
    sendPointer(event);
    m_Grab = kNoWindow;
}

void HeadlessDisplay::click(Point screenPoint, int button) {
    movePointer(screenPoint);
    pressButton(button);
    releaseButton(button);
}

void HeadlessDisplay::scrollWheel(int delta) {
    std::lock_guard lock(m_Lock);
    InputEvent event = Input(Kind::Wheel);
    event.wheelDelta = delta;
    sendPointer(event);
}

void HeadlessDisplay::pressKey(unsigned virtualKey) {
    std::lock_guard lock(m_Lock);
    InputEvent event = Input(Kind::KeyDown, m_Focus);
    event.key = virtualKey;
    DeliverInput(event);
}

void HeadlessDisplay::releaseKey(unsigned virtualKey) {
    std::lock_guard lock(m_Lock);
    InputEvent event = Input(Kind::KeyUp, m_Focus);
    event.key = virtualKey;
    DeliverInput(event);
}

void HeadlessDisplay::tapKey(unsigned virtualKey) {
    pressKey(virtualKey);
    releaseKey(virtualKey);
}

void HeadlessDisplay::typeText(const std::wstring& text) {
    std::lock_guard lock(m_Lock);
    InputEvent event = Input(Kind::Text, m_Focus);
    event.text = text;
    DeliverInput(event);
}

void HeadlessDisplay::requestClose(WindowHandle window) {
    DeliverInput(Input(Kind::CloseRequest, window));
}

bool HeadlessDisplay::isShown(WindowHandle window) const {
    std::lock_guard lock(m_Lock);
    const Window* found = find(window);
    return found && found->shown;
}

bool HeadlessDisplay::isMinimised(WindowHandle window) const {
    std::lock_guard lock(m_Lock);
    const Window* found = find(window);
    return found && found->minimised;
}

WindowHandle HeadlessDisplay::focusedWindow() const {
    std::lock_guard lock(m_Lock);
    return m_Focus;
}

std::vector<WindowHandle> HeadlessDisplay::stackingOrder() const {
    std::lock_guard lock(m_Lock);
    std::vector<WindowHandle> order;
    for (const Window& window : m_Windows)
        order.push_back(window.handle);
    return order;
}

Cursor HeadlessDisplay::cursor(WindowHandle window) const {
    std::lock_guard lock(m_Lock);
    const Window* found = find(window);
    return found ? found->cursor : Cursor::Arrow;
}

std::unique_ptr<Surface> HeadlessDisplay::snapshot(WindowHandle window) const {
    std::optional<WindowRegion> region;
    {
        std::lock_guard lock(m_Lock);
        const Window* found = find(window);
        if (!found)
            return nullptr;
        region = found->region;
    }
    const Surface* pixels = GetWindowPixels(window);
    if (!pixels)
        return nullptr;
    auto copy = std::make_unique<Surface>(pixels->width(), pixels->height());
    std::memcpy(copy->data(), pixels->data(), static_cast<size_t>(pixels->stride()) * pixels->height());
    if (region) {
        auto* words = reinterpret_cast<std::uint32_t*>(copy->data());
        for (int y = 0; y < copy->height(); ++y)
            for (int x = 0; x < copy->width(); ++x)
                if (!region->contains({x, y}))
                    words[static_cast<size_t>(y) * copy->width() + x] = 0;
    }
    copy->markDirty();
    return copy;
}

std::unique_ptr<Surface> HeadlessDisplay::snapshotWithShadow(WindowHandle window, Point& origin) const {
    std::unique_ptr<Surface> own = snapshot(window);
    if (!own)
        return nullptr;
    Rect windowRect;
    std::optional<Shadow> shadow;
    {
        std::lock_guard lock(m_Lock);
        windowRect = find(window)->rect;
        auto found = m_Shadows.find(window);
        if (found != m_Shadows.end() && found->second.shown && !found->second.rect.isEmpty())
            shadow = found->second;
    }
    const Rect whole = shadow ? Union(windowRect, shadow->rect) : windowRect;
    origin = {whole.left, whole.top};
    auto picture = std::make_unique<Surface>(whole.width(), whole.height());
    Canvas canvas(*picture);
    if (shadow)
        canvas.drawImage({shadow->pixels.data(), shadow->rect.width(), shadow->rect.height()},
                         Offset(shadow->rect, -whole.left, -whole.top));
    canvas.drawImage(own->view(), Offset(windowRect, -whole.left, -whole.top));
    return picture;
}

std::optional<Rect> HeadlessDisplay::shadowRect(WindowHandle window) const {
    std::lock_guard lock(m_Lock);
    auto found = m_Shadows.find(window);
    if (found == m_Shadows.end() || !found->second.shown)
        return std::nullopt;
    return found->second.rect;
}

void HeadlessDisplay::setShadow(WindowHandle owner, const Rect& rect, const ImageView& pixels) {
    std::lock_guard lock(m_Lock);
    Shadow& shadow = m_Shadows[owner];
    shadow.rect = rect;
    shadow.pixels.assign(pixels.pixels, pixels.pixels + static_cast<size_t>(pixels.width) * pixels.height);
}

void HeadlessDisplay::moveShadow(WindowHandle owner, Point topLeft) {
    std::lock_guard lock(m_Lock);
    auto found = m_Shadows.find(owner);
    if (found != m_Shadows.end())
        found->second.rect = Offset(found->second.rect, topLeft.x - found->second.rect.left,
                                    topLeft.y - found->second.rect.top);
}

void HeadlessDisplay::showShadow(WindowHandle owner, bool visible) {
    std::lock_guard lock(m_Lock);
    m_Shadows[owner].shown = visible;
}

void HeadlessDisplay::removeShadow(WindowHandle owner) {
    std::lock_guard lock(m_Lock);
    m_Shadows.erase(owner);
}

void HeadlessDisplay::createWindow(WindowHandle window, const Rect& rect, WindowHandle, const std::wstring&) {
    std::lock_guard lock(m_Lock);
    Window created;
    created.handle = window;
    created.rect = rect;
    m_Windows.insert(m_Windows.begin(), created);
}

void HeadlessDisplay::destroyWindow(WindowHandle window) {
    std::lock_guard lock(m_Lock);
    std::erase_if(m_Windows, [window](const Window& each) { return each.handle == window; });
    for (WindowHandle* held : {&m_Hover, &m_Grab, &m_Capture, &m_Focus})
        if (*held == window)
            *held = kNoWindow;
}

void HeadlessDisplay::showWindow(WindowHandle window, bool visible) {
    std::lock_guard lock(m_Lock);
    if (Window* found = find(window))
        found->shown = visible;
}

void HeadlessDisplay::moveWindow(WindowHandle window, const Rect& rect) {
    std::lock_guard lock(m_Lock);
    if (Window* found = find(window))
        found->rect = rect;
}

void HeadlessDisplay::setRegion(WindowHandle window, const std::optional<WindowRegion>& region) {
    std::lock_guard lock(m_Lock);
    if (Window* found = find(window))
        found->region = region;
}

void HeadlessDisplay::setCursor(WindowHandle window, Cursor cursor) {
    std::lock_guard lock(m_Lock);
    if (Window* found = find(window))
        found->cursor = cursor;
}

void HeadlessDisplay::setEnabled(WindowHandle window, bool enabled) {
    std::lock_guard lock(m_Lock);
    if (Window* found = find(window))
        found->enabled = enabled;
}

void HeadlessDisplay::minimise(WindowHandle window) {
    std::lock_guard lock(m_Lock);
    if (Window* found = find(window))
        found->minimised = true;
}

void HeadlessDisplay::restore(WindowHandle window) {
    std::lock_guard lock(m_Lock);
    if (Window* found = find(window))
        found->minimised = false;
}

void HeadlessDisplay::bringToFront(WindowHandle window) {
    std::lock_guard lock(m_Lock);
    auto found = std::find_if(m_Windows.begin(), m_Windows.end(),
                              [window](const Window& each) { return each.handle == window; });
    if (found != m_Windows.end())
        std::rotate(m_Windows.begin(), found, found + 1);
}

void HeadlessDisplay::setCapture(WindowHandle window, bool captured) {
    std::lock_guard lock(m_Lock);
    if (captured)
        m_Capture = window;
    else if (m_Capture == window)
        m_Capture = kNoWindow;
}

void HeadlessDisplay::setFocus(WindowHandle window) {
    std::lock_guard lock(m_Lock);
    m_Focus = window;
}

void HeadlessDisplay::setClipboardText(const std::wstring& text) {
    std::lock_guard lock(m_Lock);
    m_Clipboard = text;
}

std::optional<std::wstring> HeadlessDisplay::clipboardText() {
    std::lock_guard lock(m_Lock);
    return m_Clipboard;
}

} // namespace Platform
