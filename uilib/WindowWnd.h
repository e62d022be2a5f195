#pragma once

#include "platform/window/WindowSystem.h"

#include <string>

namespace UiLib {

using Platform::LParam;
using Platform::LResult;
using Platform::WindowHandle;
using Platform::WParam;

// A native window owned by an object: the object's HandleMessage sees every message of the window,
// and OnFinalMessage runs once the window is gone.
class CWindowWnd : public Platform::WindowProcedure {
public:
    CWindowWnd() = default;
    virtual ~CWindowWnd();
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    WindowHandle GetHWND() const { return m_hWnd; }

    // Creates the native window (screen rectangle); kNoWindow when creation failed.
    WindowHandle Create(WindowHandle parent, const std::wstring& name, std::uint32_t style, std::uint32_t exStyle,
                        const Platform::Rect& rect = {});
    // Shows the window, disables its owner and runs the messages until the window is gone; the
    // result is the code of the close request.
    unsigned ShowModal();
    // Asks the window to close; `code` becomes the result of a modal run.
    void Close(unsigned code = 1);
    void ShowWindow(bool show = true, bool takeFocus = true);
    // Over the owner, or the work area when there is none or it is minimised; kept inside the work area.
    void CenterWindow();
    void ResizeClient(int width = -1, int height = -1);
    LResult SendMessage(unsigned message, WParam wParam = 0, LParam lParam = 0);
    bool PostMessage(unsigned message, WParam wParam = 0, LParam lParam = 0);

protected:
    virtual std::wstring GetWindowClassName() const = 0;
    virtual std::wstring GetSuperClassName() const { return {}; }
    virtual unsigned GetClassStyle() const { return 0; }
    virtual LResult HandleMessage(unsigned message, WParam wParam, LParam lParam);
    virtual void OnFinalMessage(WindowHandle) {}

    WindowHandle m_hWnd = Platform::kNoWindow;

private:
    LResult HandleWindowMessage(WindowHandle window, unsigned message, WParam wParam, LParam lParam) final;
};

} // namespace UiLib
