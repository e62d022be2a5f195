#pragma once

#include "uilib/controls/ControlUI.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace UiLib {

// The frame timer of the sequence controls, set and killed on the control through its window manager.
inline constexpr unsigned kSequenceTimerId = 2100;

// A numbered sequence of pictures played as the background of a control: the state the sequence
// label and the sequence button share, their layout attributes and the step of each timer tick.
class SequenceAnimation {
public:
    SequenceAnimation(bool pingPong, std::int32_t span) : m_PingPong(pingPong), m_Span(span) {}

    const std::wstring& GetPattern() const { return m_Pattern; }
    void SetPattern(const std::wstring& pattern) { m_Pattern = pattern; }
    std::uint32_t GetCount() const { return m_Count; }
    void SetCount(std::uint32_t count) { m_Count = count; }
    std::int32_t GetSpan() const { return m_Span; }
    void SetSpan(std::int32_t span) { m_Span = span; }

    // Takes one of the sequence attributes; false for a name that belongs to the control's base.
    bool SetAttribute(const std::wstring& name, const std::wstring& value);

    // With autostart, starts the timer once the control is bound to its window.
    void Init(CControlUI& control);
    // Plays from the first frame; a timer that already runs keeps its period.
    void Start(CControlUI& control);
    void KillTimer(CControlUI& control);
    // Called after the control's base has handled `event`: a timer tick shows the next frame.
    void OnEvent(CControlUI& control, const TEventUI& event);

private:
    void SetTimer(CControlUI& control);

    std::wstring m_Pattern;
    bool m_AutoStart = false;
    bool m_Loop = true;
    bool m_Forward = true;
    bool m_PingPong;
    std::uint32_t m_Frame = 0;
    std::uint32_t m_Count = 0;
    std::int32_t m_Span;
};

// The picture name for frame `frame`: `pattern` formatted as printf does with the number as its one
// integer argument, cut to 259 characters. Empty when the pattern asks for anything but one integer.
std::wstring FormatFrameName(std::wstring_view pattern, std::uint32_t frame);

} // namespace UiLib
