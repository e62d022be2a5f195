#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// A private X server (Xvfb) for the tests of the X11 display, with a window manager and a
// compositing manager when the run asks for them (TOVACLIP_X11_DESKTOP: "bare", "openbox" or
// "composited"). DISPLAY points at it while it runs.
class XServer {
public:
    enum class Desktop { Bare, WindowManager, Composited };

    // The desktop the run asks for.
    static Desktop Requested();

    explicit XServer(Desktop desktop);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    Desktop desktop() const { return m_Desktop; }
    const std::string& displayName() const { return m_Display; }

private:
    void WaitForSelectionOrProperty(bool selection, const char* name);
    void MapCharacterKeys(const std::vector<wchar_t>& characters);

    Desktop m_Desktop;
    std::string m_Display;
    pid_t m_Server = -1;
    pid_t m_WindowManager = -1;
    pid_t m_Compositor = -1;
};
