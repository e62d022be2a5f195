#pragma once

#include "platform/window/DisplayBackend.h"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

// A display without a screen: windows are the pixels they painted, placed on a virtual
// 1920 × 1080 screen. Tests and tools drive it as a user would (pointer, buttons, keys, typing)
// and take snapshots of what a window shows.
namespace Platform {

class HeadlessDisplay final : public DisplayBackend {
public:
    static constexpr Size kScreenSize{1920, 1080};

    // The headless display in use; it becomes the display first if none was chosen yet. Aborts
    // when another display runs (a test that wants headless input must not run on a real one).
    static HeadlessDisplay& Current();

    // Pointer and keyboard, in screen coordinates. The input reaches the windows' thread queue;
    // it is handled when that thread takes its messages.
    void movePointer(Point screenPoint);
    void pressButton(int button = 1);
    void releaseButton(int button = 1);
    // Move, press and release at one point.
    void click(Point screenPoint, int button = 1);
    void scrollWheel(int delta);
    void pressKey(unsigned virtualKey);
    void releaseKey(unsigned virtualKey);
    // Press and release.
    void tapKey(unsigned virtualKey);
    void typeText(const std::wstring& text);
    // What the close button of a window frame does.
    void requestClose(WindowHandle window);

    Point pointer() const;
    // The topmost shown window under the point (inside its region), or none.
    WindowHandle windowAt(Point screenPoint) const;
    bool isShown(WindowHandle window) const;
    bool isMinimised(WindowHandle window) const;
    WindowHandle focusedWindow() const;
    // Front to back.
    std::vector<WindowHandle> stackingOrder() const;

    // What the window shows: its pixels with everything outside its region transparent. Null for
    // a window this display does not know. Call on the windows' thread.
    std::unique_ptr<Surface> snapshot(WindowHandle window) const;
    // The same over its shadow, as a compositing desktop shows them: a picture of the smallest
    // rectangle holding both (`origin` receives its top-left corner on the screen).
    std::unique_ptr<Surface> snapshotWithShadow(WindowHandle window, Point& origin) const;
    // The shadow's place on the screen while it is shown; nullopt otherwise.
    std::optional<Rect> shadowRect(WindowHandle window) const;

    Size screenSize() const override { return kScreenSize; }
    Rect workArea() const override { return {0, 0, kScreenSize.width, kScreenSize.height}; }
    void createWindow(WindowHandle window, const Rect& rect, WindowHandle owner, const std::wstring& title) override;
    void destroyWindow(WindowHandle window) override;
    void showWindow(WindowHandle window, bool visible) override;
    void moveWindow(WindowHandle window, const Rect& rect) override;
    void setRegion(WindowHandle window, const std::optional<WindowRegion>& region) override;
    void setTitle(WindowHandle, const std::wstring&) override {}
    void setIcon(WindowHandle, const ImageView&) override {}
    void setCursor(WindowHandle window, Cursor cursor) override;
    void setEnabled(WindowHandle window, bool enabled) override;
    void minimise(WindowHandle window) override;
    void restore(WindowHandle window) override;
    void bringToFront(WindowHandle window) override;
    void setCapture(WindowHandle window, bool captured) override;
    void setFocus(WindowHandle window) override;
    void present(WindowHandle, const Surface&, const Rect&) override {}
    bool beginSystemMove(WindowHandle, Point) override { return false; }
    void setClipboardText(const std::wstring& text) override;
    std::optional<std::wstring> clipboardText() override;
    bool supportsShadows() const override { return true; }
    void setShadow(WindowHandle owner, const Rect& rect, const ImageView& pixels) override;
    void moveShadow(WindowHandle owner, Point topLeft) override;
    void showShadow(WindowHandle owner, bool visible) override;
    void removeShadow(WindowHandle owner) override;
    int eventDescriptor() const override { return -1; }
    void dispatchEvents() override {}

    Cursor cursor(WindowHandle window) const;

private:
    struct Window {
        WindowHandle handle = kNoWindow;
        Rect rect;
        bool shown = false;
        bool minimised = false;
        bool enabled = true;
        Cursor cursor = Cursor::Arrow;
        std::optional<WindowRegion> region;
    };
    struct Shadow {
        Rect rect;
        std::vector<std::uint32_t> pixels;
        bool shown = false;
    };
    Window* find(WindowHandle window);
    const Window* find(WindowHandle window) const;
    // The window pointer input goes to: the one holding the button or the capture, else the one below.
    WindowHandle pointerTarget() const;
    WindowHandle windowAtLocked(Point screenPoint) const;
    // Pointer input for the window under the pointer; the previous one learns that the pointer left.
    void sendPointer(InputEvent event);

    // Input comes from the test's thread, window changes from the windows' thread.
    mutable std::mutex m_Lock;
    std::vector<Window> m_Windows; // front to back
    Point m_Pointer;
    WindowHandle m_Hover = kNoWindow;
    WindowHandle m_Grab = kNoWindow; // the window a held button went down in
    WindowHandle m_Capture = kNoWindow;
    WindowHandle m_Focus = kNoWindow;
    std::optional<std::wstring> m_Clipboard;
    std::map<WindowHandle, Shadow> m_Shadows;
};

} // namespace Platform
