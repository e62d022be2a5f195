#pragma once

#include "uilib/LayoutBuilder.h"
#include "uilib/WindowManagerUI.h"
#include "uilib/WindowWnd.h"

#include <string>

namespace UiLib {

// Where a window's layout and pictures come from.
enum class ResourceType {
    File = 1,        // files under the resource folder
    ZipFile = 2,     // a skin package on disk
    Resource = 3,    // the layout is a program resource of type "xml", numbered by the layout name
    ZipResource = 4, // the skin package is program resource "ZIPRES" with the window's number
};

// A window whose content is a layout: it builds the layout when created, lets the caption drag the
// window, keeps the rounded outline, answers the system buttons and closes on Escape.
class WindowImplBase : public CWindowWnd,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
public:
    // A window still open is closed here, while its manager is still there to see it go.
    ~WindowImplBase() override;

    CWindowManagerUI& GetManager() { return m_PaintManager; }

    void Notify(NotifyMsg& msg) override;
    LResult MessageHandler(unsigned message, WParam wParam, LParam lParam, bool& handled) override;
    std::unique_ptr<CControlUI> CreateControl(const std::wstring& className) override;

protected:
    std::wstring GetSuperClassName() const override { return {}; }
    unsigned GetClassStyle() const override;
    LResult HandleMessage(unsigned message, WParam wParam, LParam lParam) override;
    void OnFinalMessage(WindowHandle window) override;

    virtual void InitWindow() {}
    // A "click" notification; here the system buttons ("closebtn", "minbtn", "maxbtn", "restorebtn").
    virtual void OnClick(NotifyMsg& msg);
    virtual std::wstring GetSkinFolder() const { return {}; }
    virtual std::wstring GetSkinFile() const = 0;
    virtual LResult ResponseDefaultKeyEvent(WParam key);
    virtual ResourceType GetResourceType() const { return ResourceType::File; }
    virtual std::wstring GetZIPFileName() const { return {}; }
    virtual int GetResourceID() const { return 0; }
    virtual std::wstring QueryControlText(const std::wstring&, const std::wstring&) { return {}; }

    virtual LResult OnClose(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnDestroy(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnNcActivate(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnNcCalcSize(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnNcPaint(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnNcHitTest(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnGetMinMaxInfo(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnMouseWheel(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnMouseHover(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnSize(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnChar(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnSysCommand(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnCreate(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnKeyDown(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnKillFocus(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnSetFocus(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnLButtonDown(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnLButtonUp(unsigned, WParam, LParam, bool& handled);
    virtual LResult OnMouseMove(unsigned, WParam, LParam, bool& handled);
    // Every message no handler took, before the window manager sees it.
    virtual LResult HandleCustomMessage(unsigned, WParam, LParam, bool& handled);
    // The current style without caption and border.
    virtual std::uint32_t GetStyle() const;

    // What happens when the layout cannot be built: the message, then the end of the process.
    [[noreturn]] virtual void LayoutFailed(const CLayoutBuilder& builder);

    CWindowManagerUI m_PaintManager;
};

} // namespace UiLib
