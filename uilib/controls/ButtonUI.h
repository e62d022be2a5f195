#pragma once

#include "uilib/controls/LabelUI.h"

namespace UiLib {

// A label that can be pressed: state images and colours for hot, pushed, focused and disabled, and
// "click" when released over itself or activated from the keyboard.
class CButtonUI : public CLabelUI {
public:
    CButtonUI();
    std::wstring GetClass() const override { return L"Button"; }
    CControlUI* GetInterface(std::wstring_view name) override;

    unsigned GetButtonState() const { return m_ButtonState; }
    bool Activate() override;
    void SetEnabled(bool enabled = true) override;

    void SetNormalImage(const std::wstring& image);
    void SetHotImage(const std::wstring& image);
    void SetPushedImage(const std::wstring& image);
    void SetFocusedImage(const std::wstring& image);
    void SetDisabledImage(const std::wstring& image);
    void SetForeImage(const std::wstring& image);
    const std::wstring& GetNormalImage() const { return m_NormalImage.text(); }
    const std::wstring& GetForeImage() const { return m_ForeImage.text(); }
    void SetHotTextColor(std::uint32_t argb);
    void SetPushedTextColor(std::uint32_t argb);
    std::uint32_t GetPushedTextColor() const { return m_PushedTextColor; }

    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void DoEvent(TEventUI& event) override;
    void PaintText(Platform::Canvas& canvas) override;
    void PaintStatusImage(Platform::Canvas& canvas, const Rect& paint) override;

protected:
    // The text colour for the current state.
    std::uint32_t StateTextColor() const;
    void SetState(unsigned bits, bool on);

    unsigned m_ButtonState = 0;
    ImageDrawSpec m_NormalImage;
    ImageDrawSpec m_HotImage;
    ImageDrawSpec m_PushedImage;
    ImageDrawSpec m_FocusedImage;
    ImageDrawSpec m_DisabledImage;
    ImageDrawSpec m_ForeImage;
    ImageDrawSpec m_HotForeImage;
    ImageDrawSpec m_PushedForeImage;
    std::uint32_t m_HotBkColor = 0;
    std::uint32_t m_PushedBkColor = 0;
    std::uint32_t m_DisabledBkColor = 0;
    std::uint32_t m_HotTextColor = 0;
    std::uint32_t m_PushedTextColor = 0;
    std::uint32_t m_FocusedTextColor = 0;
    int m_FadeStep = 0;
};

} // namespace UiLib
