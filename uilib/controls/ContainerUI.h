#pragma once

#include "uilib/controls/ControlUI.h"

#include <memory>
#include <vector>

namespace UiLib {

enum class ChildAlign { Start, Center, End };

// A control holding others. A plain container gives every child its whole inner rectangle; the
// layouts arrange them.
class CContainerUI : public CControlUI {
public:
    std::wstring GetClass() const override { return L"Container"; }
    CControlUI* GetInterface(std::wstring_view name) override;

    int GetCount() const { return static_cast<int>(m_Items.size()); }
    CControlUI* GetItemAt(int index) const;
    int GetItemIndex(const CControlUI* control) const;
    // The container takes the control; false (and the control is destroyed) when it refuses.
    virtual bool Add(std::unique_ptr<CControlUI> control);
    virtual bool AddAt(std::unique_ptr<CControlUI> control, int index);
    virtual bool Remove(CControlUI* control);
    virtual void RemoveAll();

    const Rect& GetInset() const { return m_Inset; }
    void SetInset(const Rect& inset);
    int GetChildPadding() const { return m_ChildPadding; }
    void SetChildPadding(int padding);
    ChildAlign GetChildAlign() const { return m_ChildAlign; }
    ChildAlign GetChildVAlign() const { return m_ChildVAlign; }

    void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetPos(const Rect& rect) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    CControlUI* FindControlAt(Point point) override;
    void ForEach(const std::function<void(CControlUI&)>& visit) override;
    void DoPaint(Platform::Canvas& canvas, const Rect& paint) override;

protected:
    // The rectangle the children share: the position minus the inset.
    Rect InnerRect() const;
    // A floating child at its fixed position relative to the container.
    void PlaceFloating(CControlUI& child) const;

    std::vector<std::unique_ptr<CControlUI>> m_Items;
    Rect m_Inset;
    int m_ChildPadding = 0;
    ChildAlign m_ChildAlign = ChildAlign::Start;
    ChildAlign m_ChildVAlign = ChildAlign::Start;
};

} // namespace UiLib
