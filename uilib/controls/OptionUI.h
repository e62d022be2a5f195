#pragma once

#include "uilib/controls/ButtonUI.h"

namespace UiLib {

// A button with a selected state; options of one group select one another out.
class COptionUI : public CButtonUI {
public:
    std::wstring GetClass() const override { return L"Option"; }
    CControlUI* GetInterface(std::wstring_view name) override;

    bool IsSelected() const { return m_Selected; }
    // "selectchanged" when the state changes, except for a grouped option being deselected.
    virtual void Selected(bool selected);
    const std::wstring& GetGroup() const { return m_GroupName; }
    void SetGroup(const std::wstring& group) { m_GroupName = group; }
    void SetSelectedImage(const std::wstring& image);
    void SetSelectedTextColor(std::uint32_t argb);

    bool Activate() override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(Platform::Canvas& canvas, const Rect& paint) override;
    void PaintText(Platform::Canvas& canvas) override;

private:
    bool m_Selected = false;
    std::wstring m_GroupName;
    ImageDrawSpec m_SelectedImage;
    ImageDrawSpec m_SelectedHotImage;
    ImageDrawSpec m_SelectedForeImage;
    std::uint32_t m_SelectedTextColor = 0;
    std::uint32_t m_SelectedBkColor = 0;
};

} // namespace UiLib
