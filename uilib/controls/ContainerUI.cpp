#include "uilib/controls/ContainerUI.h"

#include "uilib/NumberList.h"
#include "uilib/WindowManagerUI.h"

namespace UiLib {

CControlUI* CContainerUI::GetInterface(std::wstring_view name) {
    return name == L"Container" ? this : CControlUI::GetInterface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
    return index >= 0 && index < GetCount() ? m_Items[static_cast<size_t>(index)].get() : nullptr;
}

int CContainerUI::GetItemIndex(const CControlUI* control) const {
    for (int i = 0; i < GetCount(); ++i)
        if (m_Items[static_cast<size_t>(i)].get() == control)
            return i;
    return -1;
}

bool CContainerUI::Add(std::unique_ptr<CControlUI> control) {
    return AddAt(std::move(control), GetCount());
}

bool CContainerUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
    if (!control || index < 0 || index > GetCount())
        return false;
    CControlUI* added = control.get();
    m_Items.insert(m_Items.begin() + index, std::move(control));
    if (m_Manager)
        m_Manager->InitControls(added, this);
    else
        added->SetManager(nullptr, this, false);
    added->SetInternVisible(IsVisible());
    NeedUpdate();
    return true;
}

bool CContainerUI::Remove(CControlUI* control) {
    const int index = GetItemIndex(control);
    if (index < 0)
        return false;
    m_Items.erase(m_Items.begin() + index);
    NeedUpdate();
    return true;
}

void CContainerUI::RemoveAll() {
    m_Items.clear();
    NeedUpdate();
}

void CContainerUI::SetInset(const Rect& inset) {
    m_Inset = inset;
    NeedUpdate();
}

void CContainerUI::SetChildPadding(int padding) {
    m_ChildPadding = padding;
    NeedUpdate();
}

void CContainerUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
    for (auto& item : m_Items)
        item->SetManager(manager, this, init);
    CControlUI::SetManager(manager, parent, init);
}

void CContainerUI::SetVisible(bool visible) {
    CControlUI::SetVisible(visible);
    for (auto& item : m_Items)
        item->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool visible) {
    CControlUI::SetInternVisible(visible);
    for (auto& item : m_Items)
        item->SetInternVisible(IsVisible());
}

Rect CContainerUI::InnerRect() const {
    return {m_Pos.left + m_Inset.left, m_Pos.top + m_Inset.top, m_Pos.right - m_Inset.right,
            m_Pos.bottom - m_Inset.bottom};
}

void CContainerUI::PlaceFloating(CControlUI& child) const {
    const Point fixed = child.GetFixedXY();
    const int left = m_Pos.left + fixed.x;
    const int top = m_Pos.top + fixed.y;
    child.SetPos({left, top, left + child.GetFixedWidth(), top + child.GetFixedHeight()});
}

void CContainerUI::SetPos(const Rect& rect) {
    CControlUI::SetPos(rect);
    const Rect inner = InnerRect();
    for (auto& item : m_Items) {
        if (!item->IsVisible())
            continue;
        if (item->IsFloat())
            PlaceFloating(*item);
        else
            item->SetPos(inner);
    }
}

void CContainerUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"inset") {
        SetInset(ParseRect(value));
    } else if (name == L"childpadding") {
        SetChildPadding(ParseInt(value));
    } else if (name == L"childalign") {
        m_ChildAlign = value == L"center" ? ChildAlign::Center
                       : value == L"right" ? ChildAlign::End
                                           : ChildAlign::Start;
        NeedUpdate();
    } else if (name == L"childvalign") {
        m_ChildVAlign = value == L"vcenter" ? ChildAlign::Center
                        : value == L"bottom" ? ChildAlign::End
                                             : ChildAlign::Start;
        NeedUpdate();
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

CControlUI* CContainerUI::FindControlAt(Point point) {
    if (!IsVisible() || !m_Pos.contains(point))
        return nullptr;
    for (auto item = m_Items.rbegin(); item != m_Items.rend(); ++item)
        if (CControlUI* found = (*item)->FindControlAt(point))
            return found;
    return IsMouseEnabled() ? this : nullptr;
}

void CContainerUI::ForEach(const std::function<void(CControlUI&)>& visit) {
    visit(*this);
    for (auto& item : m_Items)
        item->ForEach(visit);
}

void CContainerUI::DoPaint(Platform::Canvas& canvas, const Rect& paint) {
    const Rect area = Platform::Intersect(paint, m_Pos);
    if (area.isEmpty())
        return;
    CControlUI::DoPaint(canvas, paint);
    canvas.save();
    canvas.clipRect(area);
    for (auto& item : m_Items)
        if (item->IsVisible())
            item->DoPaint(canvas, area);
    canvas.restore();
}

} // namespace UiLib
