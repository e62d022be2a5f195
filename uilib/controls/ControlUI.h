#pragma once

#include "platform/Canvas.h"
#include "platform/window/WindowTypes.h"
#include "uilib/ImageDrawing.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace UiLib {

class CWindowManagerUI;
struct NotifyMsg;

using Platform::Point;
using Platform::Rect;
using Platform::Size;

enum class EventType {
    MouseMove,
    MouseLeave,
    MouseEnter,
    MouseHover,
    KeyDown,
    KeyUp,
    Char,
    KillFocus,
    SetFocus,
    ButtonDown,
    ButtonUp,
    DoubleClick,
    ContextMenu,
    ScrollWheel,
    Timer,
    SetCursor,
};

// An input or timer event as the manager hands it to a control.
struct TEventUI {
    EventType Type = EventType::MouseMove;
    class CControlUI* pSender = nullptr;
    std::uint32_t dwTimestamp = 0;
    Point ptMouse; // window coordinates
    wchar_t chKey = 0;
    unsigned wKeyState = 0;
    Platform::WParam wParam = 0;
    Platform::LParam lParam = 0;
};

// State bits of buttons and their kind.
namespace ControlState {
constexpr unsigned kFocused = 0x01;
constexpr unsigned kSelected = 0x02;
constexpr unsigned kDisabled = 0x04;
constexpr unsigned kHot = 0x08;
constexpr unsigned kPushed = 0x10;
constexpr unsigned kCaptured = 0x40;
} // namespace ControlState

// The base of every control: position and size rules, colours, background, border, visibility,
// attributes, events and painting.
class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    virtual std::wstring GetClass() const { return L"Control"; }
    // The control when it is of the named class (or derives from it), else null.
    virtual CControlUI* GetInterface(std::wstring_view name);

    const std::wstring& GetName() const { return m_Name; }
    void SetName(const std::wstring& name) { m_Name = name; }
    CWindowManagerUI* GetManager() const { return m_Manager; }
    CControlUI* GetParent() const { return m_Parent; }
    // Binds the control (and its children) to a manager; `init` runs DoInit once bound.
    virtual void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true);

    virtual std::wstring GetText() const { return m_Text; }
    virtual void SetText(const std::wstring& text);
    const std::wstring& GetToolTip() const { return m_ToolTip; }
    std::uintptr_t GetTag() const { return m_Tag; }
    void SetTag(std::uintptr_t tag) { m_Tag = tag; }
    const std::wstring& GetUserData() const { return m_UserData; }
    void SetUserData(const std::wstring& data) { m_UserData = data; }

    // Position as laid out, in window coordinates.
    const Rect& GetPos() const { return m_Pos; }
    virtual void SetPos(const Rect& rect);
    int GetWidth() const { return m_Pos.width(); }
    int GetHeight() const { return m_Pos.height(); }
    // Fixed position of a floating control, relative to its parent.
    Point GetFixedXY() const { return m_FixedXY; }
    void SetFixedXY(Point point);
    // 0 means "stretch".
    int GetFixedWidth() const { return m_FixedSize.width; }
    void SetFixedWidth(int width);
    int GetFixedHeight() const { return m_FixedSize.height; }
    void SetFixedHeight(int height);
    int GetMinWidth() const { return m_MinSize.width; }
    void SetMinWidth(int width);
    int GetMaxWidth() const { return m_MaxSize.width; }
    void SetMaxWidth(int width);
    int GetMinHeight() const { return m_MinSize.height; }
    void SetMinHeight(int height);
    int GetMaxHeight() const { return m_MaxSize.height; }
    void SetMaxHeight(int height);
    // Space kept around the control inside its parent (left, top, right, bottom).
    const Rect& GetPadding() const { return m_Padding; }
    void SetPadding(const Rect& padding);
    // The size the control asks for when `available` is offered; 0 in a direction means "stretch".
    virtual Size EstimateSize(Size available);

    virtual bool IsVisible() const { return m_Visible && m_InternVisible; }
    virtual void SetVisible(bool visible = true);
    // Shown or hidden by the parent (a tab layout's pages, a hidden container's children).
    virtual void SetInternVisible(bool visible = true);
    virtual bool IsEnabled() const { return m_Enabled; }
    virtual void SetEnabled(bool enabled = true);
    bool IsMouseEnabled() const { return m_MouseEnabled; }
    void SetMouseEnabled(bool enabled = true) { m_MouseEnabled = enabled; }
    bool IsKeyboardEnabled() const { return m_KeyboardEnabled; }
    void SetKeyboardEnabled(bool enabled = true) { m_KeyboardEnabled = enabled; }
    bool IsFocused() const { return m_Focused; }
    virtual void SetFocus();
    bool IsFloat() const { return m_Float; }
    void SetFloat(bool floating = true);

    std::uint32_t GetBkColor() const { return m_BkColor; }
    void SetBkColor(std::uint32_t argb);
    const std::wstring& GetBkImage() const { return m_BkImage.text(); }
    void SetBkImage(const std::wstring& image);
    std::uint32_t GetBorderColor() const { return m_BorderColor; }
    void SetBorderColor(std::uint32_t argb);
    void SetBorderSize(const Rect& sizes);
    Size GetBorderRound() const { return m_BorderRound; }
    void SetBorderRound(Size round);

    // Repaints the control's rectangle.
    void Invalidate();
    // Lays the control out again at the next paint; the parent when the control's size rules changed.
    void NeedUpdate();
    void NeedParentUpdate();
    bool IsUpdateNeeded() const { return m_UpdateNeeded; }

    // Applies one attribute; names the control does not know are kept as custom attributes.
    virtual void SetAttribute(const std::wstring& name, const std::wstring& value);
    // name="value" pairs, as the "Default" declarations write them.
    void ApplyAttributeList(const std::wstring& list);
    // Empty when not set.
    std::wstring GetCustomAttribute(const std::wstring& name) const;

    // The deepest visible control at `point` that takes the mouse (children before their parent).
    virtual CControlUI* FindControlAt(Point point);
    // Calls `visit` for this control and every descendant, parents first.
    virtual void ForEach(const std::function<void(CControlUI&)>& visit);

    // Called once the control is bound to a manager.
    virtual void DoInit() {}
    void Event(TEventUI& event);
    virtual void DoEvent(TEventUI& event);
    // Buttons click; false when the control cannot be activated now.
    virtual bool Activate();

    // Listeners of this control's own notifications, called before the window's.
    void AddNotifyListener(std::function<void(NotifyMsg&)> listener);
    void CallNotifyListeners(NotifyMsg& message);

    virtual void DoPaint(Platform::Canvas& canvas, const Rect& paint);
    virtual void PaintBkColor(Platform::Canvas& canvas);
    virtual void PaintBkImage(Platform::Canvas& canvas, const Rect& paint);
    virtual void PaintStatusImage(Platform::Canvas&, const Rect&) {}
    virtual void PaintText(Platform::Canvas&) {}
    virtual void PaintBorder(Platform::Canvas& canvas);

protected:
    // Draws an image attribute into the control's rectangle; false when there is no picture.
    bool DrawImage(Platform::Canvas& canvas, const Rect& paint, ImageDrawSpec& image);
    // Sends a notification from this control through its manager (nothing when unbound).
    void Notify(const std::wstring& type, Platform::WParam wParam = 0, Platform::LParam lParam = 0);

    CWindowManagerUI* m_Manager = nullptr;
    CControlUI* m_Parent = nullptr;
    std::wstring m_Name;
    std::wstring m_Text;
    std::wstring m_ToolTip;
    std::wstring m_UserData;
    std::uintptr_t m_Tag = 0;
    Rect m_Pos;
    Point m_FixedXY;
    Size m_FixedSize;
    Size m_MinSize;
    Size m_MaxSize{9999, 9999};
    Rect m_Padding;
    bool m_Visible = true;
    bool m_InternVisible = true;
    bool m_Enabled = true;
    bool m_MouseEnabled = true;
    bool m_KeyboardEnabled = true;
    bool m_Focused = false;
    bool m_Float = false;
    bool m_UpdateNeeded = true;
    std::uint32_t m_BkColor = 0;
    ImageDrawSpec m_BkImage;
    std::uint32_t m_BorderColor = 0;
    std::uint32_t m_FocusBorderColor = 0;
    Rect m_BorderSize; // per side; all equal when one number was given
    Size m_BorderRound;
    std::map<std::wstring, std::wstring> m_CustomAttributes;
    std::vector<std::function<void(NotifyMsg&)>> m_NotifyListeners;
};

} // namespace UiLib
