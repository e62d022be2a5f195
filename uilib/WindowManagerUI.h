#pragma once

#include "platform/Canvas.h"
#include "platform/window/WindowTypes.h"
#include "uilib/ImageCache.h"
#include "uilib/controls/ControlUI.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace UiLib {

// A control's notification to the window: "click", "selectchanged", "timer", ...
struct NotifyMsg {
    std::wstring sType;
    std::wstring sVirtualWnd;
    CControlUI* pSender = nullptr;
    std::uint32_t dwTimestamp = 0;
    Point ptMouse;
    Platform::WParam wParam = 0;
    Platform::LParam lParam = 0;
};

class INotifyUI {
public:
    virtual void Notify(NotifyMsg& msg) = 0;

protected:
    ~INotifyUI() = default;
};

// Sees the window's messages before the window does; setting `handled` stops them.
class IMessageFilterUI {
public:
    virtual Platform::LResult MessageHandler(unsigned message, Platform::WParam wParam,
                                             Platform::LParam lParam, bool& handled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

// One per window: owns the control tree, lays it out, paints it, turns the window's messages into
// control events and delivers the controls' notifications.
class CWindowManagerUI {
public:
    // The private message that empties the asynchronous notification queue.
    static constexpr unsigned kAsyncNotifyMessage = Platform::Msg::kUser + 0x3FF;

    static constexpr std::uint32_t kDefaultDisabledColor = 0xFFA7A6AA;
    static constexpr std::uint32_t kDefaultFontColor = 0xFF000000;
    static constexpr std::uint32_t kDefaultLinkFontColor = 0xFF0000FF;
    static constexpr std::uint32_t kDefaultLinkHoverFontColor = 0xFFD3215F;
    static constexpr std::uint32_t kDefaultSelectedBkColor = 0xFFBAE4FF;

    CWindowManagerUI();
    ~CWindowManagerUI();
    CWindowManagerUI(const CWindowManagerUI&) = delete;
    CWindowManagerUI& operator=(const CWindowManagerUI&) = delete;

    void Init(Platform::WindowHandle window);
    Platform::WindowHandle GetPaintWindow() const { return m_Window; }

    // The manager takes the tree; every control is bound and its name entered.
    bool AttachDialog(std::unique_ptr<CControlUI> root);
    CControlUI* GetRoot() const { return m_Root.get(); }
    // Binds a subtree added after the attachment (and enters its names).
    void InitControls(CControlUI* control, CControlUI* parent = nullptr);
    // Forgets a control that is being destroyed: name, focus, hover, capture, timers, queued notifications.
    void ReapObjects(CControlUI* control);

    CControlUI* FindControl(const std::wstring& name) const;
    CControlUI* FindControl(Point point) const;

    void AddNotifier(INotifyUI* notifier);
    void RemoveNotifier(INotifyUI* notifier);
    void AddPreMessageFilter(IMessageFilterUI* filter);
    void RemovePreMessageFilter(IMessageFilterUI* filter);

    void SendNotify(CControlUI* sender, const std::wstring& type, Platform::WParam wParam = 0,
                    Platform::LParam lParam = 0, bool async = false, bool allowRepeat = true);
    void SendNotify(NotifyMsg& msg, bool async = false, bool allowRepeat = true);

    // True when a timer was started or a killed one restarted; false when it already runs.
    bool SetTimer(CControlUI* control, unsigned timerId, unsigned milliseconds);
    bool KillTimer(CControlUI* control, unsigned timerId);
    void KillTimer(CControlUI* control);

    void SetFocus(CControlUI* control);
    CControlUI* GetFocus() const { return m_Focus; }
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const;

    // Repaints part of the window at the next paint.
    void Invalidate(const Rect& rect);
    // Lays the tree out again at the next paint.
    void NeedUpdate();

    // Fonts by number (from the layout's "Font" declarations) and the window's default font.
    void AddFont(int id, const Platform::Font& font, bool makeDefault);
    const Platform::Font& GetFont(int id) const;
    const Platform::Font& GetDefaultFont() const { return m_DefaultFont; }
    void SetDefaultFont(const Platform::Font& font) { m_DefaultFont = font; }

    std::uint32_t GetDefaultDisabledColor() const { return m_DisabledColor; }
    std::uint32_t GetDefaultFontColor() const { return m_FontColor; }
    std::uint32_t GetDefaultLinkFontColor() const { return m_LinkFontColor; }
    std::uint32_t GetDefaultLinkHoverFontColor() const { return m_LinkHoverFontColor; }
    std::uint32_t GetDefaultSelectedBkColor() const { return m_SelectedBkColor; }

    void AddDefaultAttributeList(const std::wstring& controlClass, const std::wstring& list);
    std::wstring GetDefaultAttributeList(const std::wstring& controlClass) const;
    void AddMultiLanguageString(int id, const std::wstring& text);
    std::wstring GetMultiLanguageString(int id) const;

    // Root attributes of a layout ("size", "caption", ...); unknown names become custom attributes.
    void SetWindowAttribute(const std::wstring& name, const std::wstring& value);
    std::wstring GetWindowCustomAttribute(const std::wstring& name) const;
    Size GetInitSize() const { return m_InitSize; }
    void SetInitSize(int width, int height);
    const Rect& GetCaptionRect() const { return m_Caption; }
    const Rect& GetSizeBox() const { return m_SizeBox; }
    Size GetRoundCorner() const { return m_RoundCorner; }
    Size GetMinInfo() const { return m_MinInfo; }
    Size GetMaxInfo() const { return m_MaxInfo; }

    ImageCache& Images() { return m_Images; }

    // The window's messages, before the window's own handling. True when the manager handled the
    // message (`result` then holds the answer).
    bool MessageHandler(unsigned message, Platform::WParam wParam, Platform::LParam lParam,
                        Platform::LResult& result);
    bool PreMessageHandler(unsigned message, Platform::WParam wParam, Platform::LParam lParam,
                           Platform::LResult& result);
    // Offers a message from the loop to the pre-message filters of its window's manager; true when
    // one of them took it.
    static bool TranslateMessage(const Platform::Message& message);
    // Runs the thread's loop until the quit message.
    static int MessageLoop();

private:
    struct TimerRecord {
        CControlUI* control = nullptr;
        unsigned timerId = 0;
        unsigned localId = 0;
        bool killed = false;
    };

    void Paint();
    void DeliverAsyncNotifications();
    // The sender's own listeners, then every notifier, with the last mouse point.
    void Deliver(NotifyMsg& msg);
    void OnTimer(unsigned localId);
    void OnMouse(unsigned message, Platform::WParam wParam, Platform::LParam lParam);
    void OnKey(unsigned message, Platform::WParam wParam);
    void SetHot(CControlUI* control, Point point, Platform::WParam wParam, Platform::LParam lParam);
    void EnterNames(CControlUI& root);

    Platform::WindowHandle m_Window = Platform::kNoWindow;
    std::unique_ptr<CControlUI> m_Root;
    // Names are exact and case-sensitive.
    std::unordered_map<std::wstring, CControlUI*> m_Names;
    std::vector<INotifyUI*> m_Notifiers;
    std::vector<IMessageFilterUI*> m_PreMessageFilters;
    std::vector<TimerRecord> m_Timers;
    unsigned m_LastLocalTimerId = 0;
    // Filled from any thread, emptied on the window's.
    std::mutex m_AsyncLock;
    std::deque<NotifyMsg> m_AsyncNotify;
    bool m_AsyncWakePending = false;

    CControlUI* m_Focus = nullptr;
    CControlUI* m_Hot = nullptr;
    CControlUI* m_Captured = nullptr; // the control that took the button press
    Point m_LastMouse;
    bool m_FirstLayout = false;
    bool m_UpdateNeeded = false;

    std::map<int, Platform::Font> m_Fonts;
    Platform::Font m_DefaultFont;
    std::uint32_t m_DisabledColor = kDefaultDisabledColor;
    std::uint32_t m_FontColor = kDefaultFontColor;
    std::uint32_t m_LinkFontColor = kDefaultLinkFontColor;
    std::uint32_t m_LinkHoverFontColor = kDefaultLinkHoverFontColor;
    std::uint32_t m_SelectedBkColor = kDefaultSelectedBkColor;
    std::map<std::wstring, std::wstring> m_DefaultAttributes;
    std::map<int, std::wstring> m_MultiLanguage;

    Size m_InitSize;
    Rect m_Caption;
    Rect m_SizeBox;
    Size m_RoundCorner;
    Size m_MinInfo;
    Size m_MaxInfo;
    bool m_ShowDirty = false;
    bool m_NoActivate = false;
    int m_Opacity = 255;
    std::map<std::wstring, std::wstring> m_CustomAttributes;

    ImageCache m_Images;
};

} // namespace UiLib
