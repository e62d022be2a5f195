#pragma once

#include "ui/SequenceAnimation.h"
#include "uilib/controls/LabelUI.h"

namespace UiLib {

// A label whose background plays a numbered sequence of pictures (layout element "SequenceLabel").
class CSequenceLabelUI : public CLabelUI {
public:
    CSequenceLabelUI() = default;
    ~CSequenceLabelUI() override;

    std::wstring GetClass() const override { return L"SequenceLabel"; }
    CControlUI* GetInterface(std::wstring_view name) override;
    void DoInit() override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

    // A printf pattern with one integer placeholder, such as "res\mainWnd\installBtnAnimate\%.3d.png".
    void SetSequenceImage(const std::wstring& pattern) { m_Animation.SetPattern(pattern); }
    const std::wstring& GetSequenceImage() const { return m_Animation.GetPattern(); }
    void SetSequenceCount(std::uint32_t count) { m_Animation.SetCount(count); }
    std::uint32_t GetSequenceCount() const { return m_Animation.GetCount(); }
    // Milliseconds between frames.
    void SetSequenceSpan(std::int32_t span) { m_Animation.SetSpan(span); }
    std::int32_t GetSequenceSpan() const { return m_Animation.GetSpan(); }

    // Plays from frame 0. The owner stops the sequence by killing kSequenceTimerId on the control.
    void Start() { m_Animation.Start(*this); }

private:
    SequenceAnimation m_Animation{false, 30};
};

} // namespace UiLib
