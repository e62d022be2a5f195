#include "ui/SequenceAnimation.h"

#include "uilib/NumberList.h"
#include "uilib/TextCase.h"
#include "uilib/WindowManagerUI.h"

#include <cstdio>
#include <cwctype>

namespace UiLib {

namespace {

// Frame names are cut as a path buffer would cut them.
constexpr size_t kMaxFrameName = 259;
// Longer field widths and precisions are refused rather than formatted into huge names.
constexpr size_t kMaxFieldDigits = 3;

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

} // namespace

bool SequenceAnimation::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"sequencebkimage")
        m_Pattern = value;
    else if (EqualsIgnoringCase(name, L"sequencecount"))
        m_Count = static_cast<std::uint32_t>(ParseInt(value));
    else if (EqualsIgnoringCase(name, L"sequencespan"))
        m_Span = ParseInt(value);
    else if (EqualsIgnoringCase(name, L"sequenceloop"))
        m_Loop = value != L"false";
    else if (EqualsIgnoringCase(name, L"autostart"))
        m_AutoStart = value != L"false";
    else if (EqualsIgnoringCase(name, L"sequenceround"))
        m_PingPong = value != L"false";
    else
        return false;
    return true;
}

void SequenceAnimation::SetTimer(CControlUI& control) {
    // A negative span reaches the timer as the unsigned period it stands for: a very long one.
    if (CWindowManagerUI* manager = control.GetManager())
        manager->SetTimer(&control, kSequenceTimerId, static_cast<unsigned>(m_Span));
}

void SequenceAnimation::KillTimer(CControlUI& control) {
    if (CWindowManagerUI* manager = control.GetManager())
        manager->KillTimer(&control, kSequenceTimerId);
}

void SequenceAnimation::Init(CControlUI& control) {
    if (m_AutoStart)
        SetTimer(control);
}

void SequenceAnimation::Start(CControlUI& control) {
    m_Frame = 0;
    SetTimer(control);
}

void SequenceAnimation::OnEvent(CControlUI& control, const TEventUI& event) {
    if (event.Type != EventType::Timer || m_Pattern.empty())
        return;
    // Without frames no frame is ever past the last one (count - 1 wraps to the largest number), so
    // the number would grow without bound and name pictures that do not exist: the sequence stops.
    if (m_Count == 0) {
        KillTimer(control);
        return;
    }
    if (m_Forward && m_Frame > m_Count - 1) {
        if (m_PingPong) {
            m_Forward = false;
            // A single frame has nowhere to turn back to; count - 2 would wrap the same way.
            m_Frame = m_Count >= 2 ? m_Count - 2 : 0;
        } else {
            m_Frame = 0;
            if (!m_Loop) {
                KillTimer(control);
                return;
            }
        }
    }
    if (!m_Forward && m_Frame == 0) {
        if (m_PingPong)
            m_Forward = true;
        m_Frame = 0;
        if (!m_Loop) {
            KillTimer(control);
            return;
        }
    }
    const std::uint32_t shown = m_Frame;
    if (m_Forward)
        ++m_Frame;
    else
        --m_Frame;
    control.SetBkImage(FormatFrameName(m_Pattern, shown));
    control.Invalidate();
}

std::wstring FormatFrameName(std::wstring_view pattern, std::uint32_t frame) {
    // The pattern comes from the skin, so it is read here rather than handed to printf: only one
    // integer conversion is formatted, and a "%s" or a second number never reads a missing argument.
    std::wstring name;
    bool converted = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != L'%') {
            name += pattern[i];
            continue;
        }
        if (++i < pattern.size() && pattern[i] == L'%') {
            name += L'%';
            continue;
        }
        std::string conversion = "%";
        while (i < pattern.size() && std::wstring_view(L"-+ #0").find(pattern[i]) != std::wstring_view::npos)
            conversion += static_cast<char>(pattern[i++]);
        for (bool precision : {false, true}) {
            if (precision) {
                if (i >= pattern.size() || pattern[i] != L'.')
                    break;
                conversion += pattern[i++];
            }
            size_t digits = 0;
            while (i < pattern.size() && IsDigit(pattern[i]) && ++digits <= kMaxFieldDigits)
                conversion += static_cast<char>(pattern[i++]);
            if (digits > kMaxFieldDigits)
                return {};
        }
        // The number is passed as an int, whatever size the pattern names.
        while (i < pattern.size() &&
               std::wstring_view(L"hlLqjzt").find(pattern[i]) != std::wstring_view::npos)
            ++i;
        if (i >= pattern.size() || converted ||
            std::wstring_view(L"diuoxX").find(pattern[i]) == std::wstring_view::npos)
            return {};
        conversion += static_cast<char>(pattern[i]);
        converted = true;
        char digits[1024];
        const int length =
            pattern[i] == L'd' || pattern[i] == L'i'
                ? std::snprintf(digits, sizeof digits, conversion.c_str(), static_cast<int>(frame))
                : std::snprintf(digits, sizeof digits, conversion.c_str(), static_cast<unsigned>(frame));
        for (int c = 0; c < length; ++c)
            name += static_cast<wchar_t>(digits[c]);
    }
    if (name.size() > kMaxFrameName)
        name.resize(kMaxFrameName);
    return name;
}

} // namespace UiLib
