#pragma once

#include "platform/Canvas.h"
#include "ui/SequenceAnimation.h"
#include "uilib/controls/ButtonUI.h"

namespace UiLib {

// A button whose background plays a numbered sequence of pictures (layout element "SequenceButton"),
// back and forth unless told otherwise. While pushed it can move its text by a padding of its own.
class CSequenceButtonUI : public CButtonUI {
public:
    CSequenceButtonUI() = default;
    ~CSequenceButtonUI() override;

    std::wstring GetClass() const override { return L"SequenceButton"; }
    CControlUI* GetInterface(std::wstring_view name) override;
    void DoInit() override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintText(Platform::Canvas& canvas) override;

    // A printf pattern with one integer placeholder, such as "res\mainWnd\installBtnAnimate\%.3d.png".
    void SetSequenceImage(const std::wstring& pattern) { m_Animation.SetPattern(pattern); }
    const std::wstring& GetSequenceImage() const { return m_Animation.GetPattern(); }
    void SetSequenceCount(std::uint32_t count) { m_Animation.SetCount(count); }
    std::uint32_t GetSequenceCount() const { return m_Animation.GetCount(); }
    // Milliseconds between frames.
    void SetSequenceSpan(std::int32_t span) { m_Animation.SetSpan(span); }
    std::int32_t GetSequenceSpan() const { return m_Animation.GetSpan(); }

    // Two texts the owner keeps with the button; no layout attribute sets them.
    void SetFirstExtraText(const std::wstring& text);
    const std::wstring& GetFirstExtraText() const { return m_FirstExtraText; }
    const std::wstring& GetSecondExtraText() const { return m_SecondExtraText; }
    void SetSecondExtraText(const std::wstring& text);
    // Left, top, right and bottom distances of the text from the edges while the button is pushed;
    // all 0 leaves the text where the button puts it.
    const Rect& GetPushedTextPadding() const { return m_PushedTextPadding; }
    void SetPushedTextPadding(const Rect& padding);

    // Copies byte `sourceByte` of every source pixel into byte `destinationByte` of the destination
    // pixel at the same place (bytes 0 to 3 of a pixel in memory order). False when the sizes differ
    // or a byte index is outside 0 to 3.
    static bool CopyChannel(const Platform::Surface& source, Platform::Surface& destination, int sourceByte,
                            int destinationByte);

    // Plays from frame 0. The owner stops the sequence by killing kSequenceTimerId on the control.
    void Start() { m_Animation.Start(*this); }

private:
    SequenceAnimation m_Animation{true, 60};
    std::wstring m_FirstExtraText;
    std::wstring m_SecondExtraText;
    Rect m_PushedTextPadding;
};

} // namespace UiLib
