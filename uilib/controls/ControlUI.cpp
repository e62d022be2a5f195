#include "uilib/controls/ControlUI.h"

#include "uilib/Colour.h"
#include "uilib/NumberList.h"
#include "platform/window/WindowSystem.h"
#include "uilib/WindowManagerUI.h"

#include <algorithm>

namespace UiLib {

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
    if (m_Manager)
        m_Manager->ReapObjects(this);
}

CControlUI* CControlUI::GetInterface(std::wstring_view name) {
    return name == L"Control" ? this : nullptr;
}

void CControlUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
    m_Manager = manager;
    m_Parent = parent;
    if (init && manager)
        DoInit();
}

void CControlUI::SetText(const std::wstring& text) {
    if (m_Text == text)
        return;
    m_Text = text;
    Invalidate();
}

void CControlUI::SetPos(const Rect& rect) {
    Rect pos = rect;
    if (pos.right < pos.left)
        pos.right = pos.left;
    if (pos.bottom < pos.top)
        pos.bottom = pos.top;
    if (m_Manager && !(pos == m_Pos)) {
        m_Manager->Invalidate(m_Pos);
        m_Manager->Invalidate(pos);
    }
    m_Pos = pos;
    m_UpdateNeeded = false;
}

void CControlUI::SetFixedXY(Point point) {
    m_FixedXY = point;
    NeedParentUpdate();
}

void CControlUI::SetFixedWidth(int width) {
    if (width < 0)
        return;
    m_FixedSize.width = width;
    NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int height) {
    if (height < 0)
        return;
    m_FixedSize.height = height;
    NeedParentUpdate();
}

void CControlUI::SetMinWidth(int width) {
    if (width < 0 || m_MinSize.width == width)
        return;
    m_MinSize.width = width;
    NeedParentUpdate();
}

void CControlUI::SetMaxWidth(int width) {
    if (width < 0 || m_MaxSize.width == width)
        return;
    m_MaxSize.width = width;
    NeedParentUpdate();
}

void CControlUI::SetMinHeight(int height) {
    if (height < 0 || m_MinSize.height == height)
        return;
    m_MinSize.height = height;
    NeedParentUpdate();
}

void CControlUI::SetMaxHeight(int height) {
    if (height < 0 || m_MaxSize.height == height)
        return;
    m_MaxSize.height = height;
    NeedParentUpdate();
}

void CControlUI::SetPadding(const Rect& padding) {
    m_Padding = padding;
    NeedParentUpdate();
}

Size CControlUI::EstimateSize(Size) {
    return m_FixedSize;
}

void CControlUI::SetVisible(bool visible) {
    if (m_Visible == visible)
        return;
    const bool wasVisible = IsVisible();
    m_Visible = visible;
    if (m_Focused && !visible && m_Manager)
        m_Manager->SetFocus(nullptr);
    if (IsVisible() != wasVisible)
        NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool visible) {
    m_InternVisible = visible;
    if (!visible && m_Focused && m_Manager)
        m_Manager->SetFocus(nullptr);
}

void CControlUI::SetEnabled(bool enabled) {
    if (m_Enabled == enabled)
        return;
    m_Enabled = enabled;
    Invalidate();
}

void CControlUI::SetFocus() {
    if (m_Manager)
        m_Manager->SetFocus(this);
}

void CControlUI::SetFloat(bool floating) {
    if (m_Float == floating)
        return;
    m_Float = floating;
    NeedParentUpdate();
}

void CControlUI::SetBkColor(std::uint32_t argb) {
    if (m_BkColor == argb)
        return;
    m_BkColor = argb;
    Invalidate();
}

void CControlUI::SetBkImage(const std::wstring& image) {
    if (m_BkImage.text() == image)
        return;
    m_BkImage.setText(image);
    Invalidate();
}

void CControlUI::SetBorderColor(std::uint32_t argb) {
    if (m_BorderColor == argb)
        return;
    m_BorderColor = argb;
    Invalidate();
}

void CControlUI::SetBorderSize(const Rect& sizes) {
    m_BorderSize = sizes;
    Invalidate();
}

void CControlUI::SetBorderRound(Size round) {
    m_BorderRound = round;
    Invalidate();
}

void CControlUI::Invalidate() {
    if (m_Manager && IsVisible())
        m_Manager->Invalidate(m_Pos);
}

void CControlUI::NeedUpdate() {
    if (!IsVisible())
        return;
    m_UpdateNeeded = true;
    Invalidate();
    if (m_Manager)
        m_Manager->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
    if (m_Parent)
        m_Parent->NeedUpdate();
    else
        NeedUpdate();
    if (m_Manager)
        m_Manager->NeedUpdate();
}

void CControlUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"pos") {
        const Rect rect = ParseRect(value);
        SetFixedXY({rect.left, rect.top});
        SetFixedWidth(rect.right - rect.left);
        SetFixedHeight(rect.bottom - rect.top);
    } else if (name == L"padding") {
        SetPadding(ParseRect(value));
    } else if (name == L"bkcolor") {
        SetBkColor(ParseColour(value));
    } else if (name == L"bordercolor") {
        SetBorderColor(ParseColour(value));
    } else if (name == L"focusbordercolor") {
        m_FocusBorderColor = ParseColour(value);
    } else if (name == L"bordersize") {
        if (value.find(L',') == std::wstring::npos) {
            const int size = ParseInt(value);
            SetBorderSize({size, size, size, size});
        } else {
            SetBorderSize(ParseRect(value));
        }
    } else if (name == L"borderround") {
        SetBorderRound(ParseSize(value));
    } else if (name == L"bkimage") {
        SetBkImage(value);
    } else if (name == L"width") {
        SetFixedWidth(ParseInt(value));
    } else if (name == L"height") {
        SetFixedHeight(ParseInt(value));
    } else if (name == L"minwidth") {
        SetMinWidth(ParseInt(value));
    } else if (name == L"minheight") {
        SetMinHeight(ParseInt(value));
    } else if (name == L"maxwidth") {
        SetMaxWidth(ParseInt(value));
    } else if (name == L"maxheight") {
        SetMaxHeight(ParseInt(value));
    } else if (name == L"name") {
        SetName(value);
    } else if (name == L"text") {
        SetText(value);
    } else if (name == L"tooltip") {
        m_ToolTip = value;
    } else if (name == L"userdata") {
        SetUserData(value);
    } else if (name == L"enabled") {
        SetEnabled(ParseBool(value));
    } else if (name == L"mouse") {
        SetMouseEnabled(ParseBool(value));
    } else if (name == L"keyboard") {
        SetKeyboardEnabled(ParseBool(value));
    } else if (name == L"visible") {
        SetVisible(ParseBool(value));
    } else if (name == L"float") {
        SetFloat(ParseBool(value));
    } else {
        m_CustomAttributes[name] = value;
    }
}

void CControlUI::ApplyAttributeList(const std::wstring& list) {
    size_t pos = 0;
    while (pos < list.size()) {
        while (pos < list.size() && list[pos] == L' ')
            ++pos;
        const size_t equals = list.find(L'=', pos);
        if (equals == std::wstring::npos || equals + 1 >= list.size() || list[equals + 1] != L'"')
            return;
        const size_t close = list.find(L'"', equals + 2);
        if (close == std::wstring::npos)
            return;
        SetAttribute(list.substr(pos, equals - pos), list.substr(equals + 2, close - equals - 2));
        pos = close + 1;
    }
}

std::wstring CControlUI::GetCustomAttribute(const std::wstring& name) const {
    auto found = m_CustomAttributes.find(name);
    return found == m_CustomAttributes.end() ? std::wstring() : found->second;
}

CControlUI* CControlUI::FindControlAt(Point point) {
    if (!IsVisible() || !m_MouseEnabled || !m_Pos.contains(point))
        return nullptr;
    return this;
}

void CControlUI::ForEach(const std::function<void(CControlUI&)>& visit) {
    visit(*this);
}

void CControlUI::Event(TEventUI& event) {
    DoEvent(event);
}

void CControlUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case EventType::SetCursor:
        if (m_Manager)
            Platform::SetCursor(m_Manager->GetPaintWindow(), Platform::Cursor::Arrow);
        return;
    case EventType::SetFocus:
        m_Focused = true;
        Invalidate();
        return;
    case EventType::KillFocus:
        m_Focused = false;
        Invalidate();
        return;
    case EventType::Timer:
        Notify(L"timer", event.wParam, event.lParam);
        return;
    default:
        if (m_Parent)
            m_Parent->DoEvent(event);
        return;
    }
}

bool CControlUI::Activate() {
    return IsVisible() && IsEnabled();
}

void CControlUI::AddNotifyListener(std::function<void(NotifyMsg&)> listener) {
    m_NotifyListeners.push_back(std::move(listener));
}

void CControlUI::CallNotifyListeners(NotifyMsg& message) {
    for (auto& listener : m_NotifyListeners)
        listener(message);
}

void CControlUI::Notify(const std::wstring& type, Platform::WParam wParam, Platform::LParam lParam) {
    if (m_Manager)
        m_Manager->SendNotify(this, type, wParam, lParam);
}

bool CControlUI::DrawImage(Platform::Canvas& canvas, const Rect& paint, ImageDrawSpec& image) {
    if (!m_Manager || image.empty())
        return false;
    return UiLib::DrawImage(canvas, *m_Manager, m_Pos, paint, image);
}

void CControlUI::DoPaint(Platform::Canvas& canvas, const Rect& paint) {
    if (Platform::Intersect(paint, m_Pos).isEmpty())
        return;
    const bool rounded = m_BorderRound.width > 0 || m_BorderRound.height > 0;
    canvas.save();
    canvas.clipRect(m_Pos);
    if (rounded)
        canvas.clipRoundedRect(m_Pos, m_BorderRound.width, m_BorderRound.height);
    PaintBkColor(canvas);
    PaintBkImage(canvas, paint);
    PaintStatusImage(canvas, paint);
    PaintText(canvas);
    PaintBorder(canvas);
    canvas.restore();
}

void CControlUI::PaintBkColor(Platform::Canvas& canvas) {
    DrawColor(canvas, m_Pos, m_BkColor);
}

void CControlUI::PaintBkImage(Platform::Canvas& canvas, const Rect& paint) {
    DrawImage(canvas, paint, m_BkImage);
}

void CControlUI::PaintBorder(Platform::Canvas& canvas) {
    const std::uint32_t colour = m_Focused && m_FocusBorderColor != 0 ? m_FocusBorderColor : m_BorderColor;
    if (colour == 0 || m_BorderSize == Rect{})
        return;
    const bool rounded = m_BorderRound.width > 0 || m_BorderRound.height > 0;
    const bool even = m_BorderSize.left == m_BorderSize.top && m_BorderSize.left == m_BorderSize.right &&
                      m_BorderSize.left == m_BorderSize.bottom;
    if (rounded || even) {
        canvas.drawBorder(m_Pos, m_BorderSize.left, colour, m_BorderRound.width, m_BorderRound.height);
        return;
    }
    const Rect& pos = m_Pos;
    const Rect& size = m_BorderSize;
    DrawColor(canvas, {pos.left, pos.top, pos.left + size.left, pos.bottom}, colour);
    DrawColor(canvas, {pos.left, pos.top, pos.right, pos.top + size.top}, colour);
    DrawColor(canvas, {pos.right - size.right, pos.top, pos.right, pos.bottom}, colour);
    DrawColor(canvas, {pos.left, pos.bottom - size.bottom, pos.right, pos.bottom}, colour);
}

} // namespace UiLib
