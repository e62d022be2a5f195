#pragma once

#include "uilib/controls/LabelUI.h"

namespace UiLib {

// A bar whose foreground image covers the share of the value between minimum and maximum.
class CProgressUI : public CLabelUI {
public:
    std::wstring GetClass() const override { return L"Progress"; }
    CControlUI* GetInterface(std::wstring_view name) override;

    bool IsHorizontal() const { return m_Horizontal; }
    void SetHorizontal(bool horizontal = true);
    int GetMinValue() const { return m_Min; }
    void SetMinValue(int value);
    int GetMaxValue() const { return m_Max; }
    void SetMaxValue(int value);
    int GetValue() const { return m_Value; }
    void SetValue(int value);
    const std::wstring& GetForeImage() const { return m_ForeImage.text(); }
    void SetForeImage(const std::wstring& image);

    // The part of the bar the foreground covers for the current value.
    Rect ForegroundRect() const;

    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(Platform::Canvas& canvas, const Rect& paint) override;

private:
    bool m_Horizontal = true;
    int m_Min = 0;
    int m_Max = 100;
    int m_Value = 0;
    ImageDrawSpec m_ForeImage;
};

} // namespace UiLib
