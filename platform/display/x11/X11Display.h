#pragma once

#include "platform/window/DisplayBackend.h"

#include <map>
#include <memory>
#include <string>

// The display on an X server: every window system window is a top-level X window without
// decorations, drawn from the window's pixels (through shared memory when the server is local),
// shaped by its region, fed with the server's input (keys through the input method).
namespace Platform {

class X11Display final : public DisplayBackend {
public:
    // The client message type other programs use to send a window a message: format 32, data
    // message, wParam, lParam.
    static constexpr const char* kWindowMessageAtom = "UILIB_WINDOW_MESSAGE";

    // Connects to the server named by DISPLAY; null when there is none to connect to.
    static std::unique_ptr<X11Display> Open();
    ~X11Display() override;

    Size screenSize() const override;
    Rect workArea() const override;
    void createWindow(WindowHandle window, const Rect& rect, WindowHandle owner,
                      const std::wstring& title) override;
    void destroyWindow(WindowHandle window) override;
    void showWindow(WindowHandle window, bool visible) override;
    void moveWindow(WindowHandle window, const Rect& rect) override;
    void setRegion(WindowHandle window, const std::optional<WindowRegion>& region) override;
    void setTitle(WindowHandle window, const std::wstring& title) override;
    void setIcon(WindowHandle window, const ImageView& icon) override;
    void setCursor(WindowHandle window, Cursor cursor) override;
    void setEnabled(WindowHandle window, bool enabled) override;
    void minimise(WindowHandle window) override;
    void restore(WindowHandle window) override;
    void bringToFront(WindowHandle window) override;
    void setCapture(WindowHandle window, bool captured) override;
    void setFocus(WindowHandle window) override;
    void present(WindowHandle window, const Surface& pixels, const Rect& dirty) override;
    bool beginSystemMove(WindowHandle window, Point screenPoint) override;
    void setClipboardText(const std::wstring& text) override;
    std::optional<std::wstring> clipboardText() override;
    bool supportsShadows() const override;
    void setShadow(WindowHandle owner, const Rect& rect, const ImageView& pixels) override;
    void moveShadow(WindowHandle owner, Point topLeft) override;
    void showShadow(WindowHandle owner, bool visible) override;
    void removeShadow(WindowHandle owner) override;
    int eventDescriptor() const override;
    void dispatchEvents() override;

    // The X window showing `window` (0 when none): for tests and tools that look at the server.
    unsigned long nativeWindow(WindowHandle window) const;
    // The X window showing the window's shadow (0 when it has none).
    unsigned long shadowWindow(WindowHandle owner) const;
    // Whether a window manager runs (it then moves, stacks and minimises windows).
    bool hasWindowManager() const;
    // Whether the server shows the window now (mapped and viewable).
    bool isOnScreen(WindowHandle window) const;
    // Waits until the server has carried out every request sent so far.
    void sync();

    struct Impl;

private:
    explicit X11Display(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_Impl;
};

} // namespace Platform
