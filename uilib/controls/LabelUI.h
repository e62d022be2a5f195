#pragma once

#include "platform/Canvas.h"
#include "uilib/controls/ControlUI.h"

namespace UiLib {

// Text in a rectangle with an alignment, a font number and colours.
class CLabelUI : public CControlUI {
public:
    CLabelUI();
    std::wstring GetClass() const override { return L"Label"; }
    CControlUI* GetInterface(std::wstring_view name) override;

    unsigned GetTextStyle() const { return m_TextStyle; }
    void SetTextStyle(unsigned style);
    // 0 means the window's default text colour.
    std::uint32_t GetTextColor() const { return m_TextColor; }
    void SetTextColor(std::uint32_t argb);
    std::uint32_t GetDisabledTextColor() const { return m_DisabledTextColor; }
    void SetDisabledTextColor(std::uint32_t argb);
    // -1 means the window's default font.
    int GetFont() const { return m_Font; }
    void SetFont(int font);
    const Rect& GetTextPadding() const { return m_TextPadding; }
    void SetTextPadding(const Rect& padding);

    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintText(Platform::Canvas& canvas) override;

protected:
    // The rectangle text is drawn in: the position minus the text padding.
    Rect TextRect() const;
    // The colour for text when no state colour applies.
    std::uint32_t PlainTextColor() const;
    void DrawLabelText(Platform::Canvas& canvas, const Rect& rect, std::uint32_t argb) const;

    unsigned m_TextStyle;
    std::uint32_t m_TextColor = 0;
    std::uint32_t m_DisabledTextColor = 0;
    int m_Font = -1;
    Rect m_TextPadding;
    bool m_ShowHtml = false;
};

} // namespace UiLib
