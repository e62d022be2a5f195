#include "uilib/controls/EditUI.h"

#include "platform/window/WindowSystem.h"
#include "uilib/Colour.h"
#include "uilib/NumberList.h"
#include "uilib/WindowManagerUI.h"

#include <algorithm>
#include <optional>

namespace UiLib {

namespace TS = Platform::TextStyle;

namespace {

bool SameFont(const Platform::Font& a, const Platform::Font& b) {
    return a.face == b.face && a.pixelSize == b.pixelSize && a.bold == b.bold && a.italic == b.italic &&
           a.underline == b.underline;
}

bool IsControlCharacter(wchar_t character) {
    return character < 32 || character == 127;
}

} // namespace

CEditUI::CEditUI() = default;

CControlUI* CEditUI::GetInterface(std::wstring_view name) {
    return name == L"Edit" ? this : CLabelUI::GetInterface(name);
}

void CEditUI::SetText(const std::wstring& text) {
    CLabelUI::SetText(text);
    m_Caret = std::min(m_Caret, m_Text.size());
    m_Anchor = std::min(m_Anchor, m_Text.size());
    if (m_Editing)
        CaretChanged();
}

void CEditUI::SetEnabled(bool enabled) {
    CLabelUI::SetEnabled(enabled);
    // The focus stays where it is (taking it away would also pull the window to the front); the
    // editing follows the state.
    if (!enabled)
        EndEditing();
    else if (m_Focused)
        BeginEditing();
}

void CEditUI::SetReadOnly(bool readOnly) {
    m_ReadOnly = readOnly;
    Invalidate();
}

void CEditUI::SetPasswordMode(bool password) {
    m_Password = password;
    if (m_Editing)
        ScrollToCaret();
    Invalidate();
}

void CEditUI::SetMaxChar(int maxChar) {
    m_MaxChar = std::max(maxChar, 0);
}

void CEditUI::SetNormalImage(const std::wstring& image) {
    m_NormalImage.setText(image);
    Invalidate();
}

void CEditUI::SetHotImage(const std::wstring& image) {
    m_HotImage.setText(image);
    Invalidate();
}

void CEditUI::SetFocusedImage(const std::wstring& image) {
    m_FocusedImage.setText(image);
    Invalidate();
}

void CEditUI::SetDisabledImage(const std::wstring& image) {
    m_DisabledImage.setText(image);
    Invalidate();
}

void CEditUI::SetNativeEditBkColor(std::uint32_t argb) {
    m_NativeBkColor = argb;
    Invalidate();
}

void CEditUI::SetNativeEditTextColor(std::uint32_t argb) {
    m_NativeTextColor = argb;
    Invalidate();
}

void CEditUI::SetTipValue(const std::wstring& tip) {
    m_TipValue = tip;
    Invalidate();
}

void CEditUI::SetTipValueColor(std::uint32_t argb) {
    m_TipValueColor = argb;
    Invalidate();
}

void CEditUI::SetSel(std::size_t anchor, std::size_t caret) {
    m_Anchor = std::min(anchor, m_Text.size());
    m_Caret = std::min(caret, m_Text.size());
    if (m_Editing)
        CaretChanged();
    else
        Invalidate();
}

void CEditUI::SetSelAll() {
    SetSel(0, m_Text.size());
}

void CEditUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"readonly")
        SetReadOnly(ParseBool(value));
    else if (name == L"password")
        SetPasswordMode(ParseBool(value));
    else if (name == L"numberonly")
        SetNumberOnly(ParseBool(value));
    else if (name == L"maxchar")
        SetMaxChar(ParseInt(value));
    else if (name == L"normalimage")
        SetNormalImage(value);
    else if (name == L"hotimage")
        SetHotImage(value);
    else if (name == L"focusedimage")
        SetFocusedImage(value);
    else if (name == L"disabledimage")
        SetDisabledImage(value);
    else if (name == L"nativebkcolor")
        SetNativeEditBkColor(ParseColour(value));
    else if (name == L"nativetextcolor")
        SetNativeEditTextColor(ParseColour(value));
    else if (name == L"tipvalue")
        SetTipValue(value);
    else if (name == L"tipvaluecolor")
        SetTipValueColor(ParseColour(value));
    else
        CLabelUI::SetAttribute(name, value);
}

void CEditUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case EventType::SetFocus:
        CLabelUI::DoEvent(event);
        if (IsEnabled())
            BeginEditing();
        return;
    case EventType::KillFocus:
        EndEditing();
        CLabelUI::DoEvent(event);
        return;
    case EventType::Timer:
        // The caret's ticks are the edit's own business, not the window's.
        if (event.wParam == kCaretTimerId) {
            if (m_Editing) {
                m_CaretShown = !m_CaretShown;
                Invalidate();
            }
            return;
        }
        break;
    case EventType::SetCursor:
        if (m_Manager)
            Platform::SetCursor(m_Manager->GetPaintWindow(), Platform::Cursor::Text);
        return;
    case EventType::MouseEnter:
    case EventType::MouseLeave:
        m_Hot = event.Type == EventType::MouseEnter;
        Invalidate();
        return;
    case EventType::ButtonDown:
        // The manager gave the edit the focus just before, so an enabled edit is editing by now.
        if (m_Editing) {
            const std::size_t at = CaretPositionAt(event.ptMouse.x);
            SetSel((event.wKeyState & Platform::MouseKey::kShift) ? m_Anchor : at, at);
            m_Dragging = true;
        }
        return;
    case EventType::DoubleClick:
        if (m_Editing) {
            m_Dragging = false;
            SetSelAll();
        }
        return;
    case EventType::MouseMove:
        if (m_Dragging && m_Editing)
            SetSel(m_Anchor, CaretPositionAt(event.ptMouse.x));
        return;
    case EventType::ButtonUp:
        m_Dragging = false;
        return;
    case EventType::KeyDown:
        if (m_Editing && IsKeyboardEnabled() && OnKeyDown(event.chKey))
            return;
        break;
    case EventType::Char:
        if (m_Editing && IsKeyboardEnabled()) {
            if (!IsControlCharacter(event.chKey))
                InsertText(std::wstring(1, event.chKey));
            return;
        }
        break;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CEditUI::BeginEditing() {
    if (m_Editing)
        return;
    m_Editing = true;
    m_Dragging = false;
    m_Caret = m_Anchor = m_Text.size();
    m_ScrollX = 0;
    CaretChanged();
}

void CEditUI::EndEditing() {
    if (!m_Editing)
        return;
    m_Editing = false;
    m_Dragging = false;
    if (m_Manager)
        m_Manager->KillTimer(this, kCaretTimerId);
    m_Anchor = m_Caret;
    m_ScrollX = 0;
    Invalidate();
}

bool CEditUI::OnKeyDown(unsigned key) {
    namespace Key = Platform::Key;
    const bool shift = Platform::IsKeyDown(Key::kShift);
    auto moveTo = [&](std::size_t caret) { SetSel(shift ? m_Anchor : caret, caret); };
    switch (key) {
    case Key::kLeft:
        // Without Shift an arrow first collapses a selection to its edge on that side.
        moveTo(!shift && m_Caret != m_Anchor ? GetSelStart() : (m_Caret > 0 ? m_Caret - 1 : 0));
        return true;
    case Key::kRight:
        moveTo(!shift && m_Caret != m_Anchor ? GetSelEnd() : std::min(m_Caret + 1, m_Text.size()));
        return true;
    case Key::kHome:
        moveTo(0);
        return true;
    case Key::kEnd:
        moveTo(m_Text.size());
        return true;
    case Key::kBack:
        DeleteAtCaret(true);
        return true;
    case Key::kDelete:
        DeleteAtCaret(false);
        return true;
    case Key::kReturn:
        Notify(L"return");
        return true;
    default:
        break;
    }
    if (!Platform::IsKeyDown(Key::kControl))
        return false;
    switch (key) {
    case 'A':
        SetSelAll();
        return true;
    case 'C':
        CopySelection();
        return true;
    case 'X':
        if (!m_ReadOnly && !m_Password && m_Caret != m_Anchor) {
            CopySelection();
            Replace(GetSelStart(), GetSelEnd(), {});
        }
        return true;
    case 'V':
        if (!m_ReadOnly)
            if (std::optional<std::wstring> pasted = Platform::GetClipboardText())
                InsertText(*pasted);
        return true;
    default:
        return false;
    }
}

std::wstring CEditUI::Acceptable(const std::wstring& text) const {
    std::wstring accepted;
    for (wchar_t character : text) {
        // A single line: a pasted text ends at its first line break.
        if (character == L'\r' || character == L'\n')
            break;
        if (IsControlCharacter(character) || (m_NumberOnly && (character < L'0' || character > L'9')))
            continue;
        accepted.push_back(character);
    }
    return accepted;
}

void CEditUI::InsertText(const std::wstring& text) {
    if (m_ReadOnly)
        return;
    std::wstring accepted = Acceptable(text);
    const std::size_t start = GetSelStart();
    const std::size_t end = GetSelEnd();
    if (m_MaxChar > 0) {
        // A text set from code may already be longer than the limit: then nothing more goes in.
        const std::size_t kept = m_Text.size() - (end - start);
        const std::size_t limit = static_cast<std::size_t>(m_MaxChar);
        accepted.resize(std::min(accepted.size(), kept < limit ? limit - kept : 0));
    }
    if (!accepted.empty())
        Replace(start, end, accepted);
}

void CEditUI::DeleteAtCaret(bool backwards) {
    if (m_ReadOnly)
        return;
    std::size_t start = GetSelStart();
    std::size_t end = GetSelEnd();
    if (start == end) {
        if (backwards ? start == 0 : end >= m_Text.size())
            return;
        backwards ? --start : ++end;
    }
    Replace(start, end, {});
}

void CEditUI::Replace(std::size_t start, std::size_t end, const std::wstring& inserted) {
    m_Text.replace(start, end - start, inserted);
    m_Caret = m_Anchor = start + inserted.size();
    CaretChanged();
    Notify(L"textchanged");
}

void CEditUI::CopySelection() {
    // A password never leaves the edit.
    if (m_Password || m_Caret == m_Anchor)
        return;
    Platform::SetClipboardText(m_Text.substr(GetSelStart(), GetSelEnd() - GetSelStart()));
}

void CEditUI::CaretChanged() {
    m_CaretShown = true;
    if (m_Manager) {
        // Restarting the blink keeps the caret visible while the user types or moves it.
        m_Manager->KillTimer(this, kCaretTimerId);
        m_Manager->SetTimer(this, kCaretTimerId, kCaretBlinkMilliseconds);
    }
    ScrollToCaret();
    Invalidate();
}

void CEditUI::ScrollToCaret() {
    const std::vector<int>& offsets = CaretOffsets();
    // The caret takes one pixel column of its own, so the last one of the rectangle is kept for it.
    const int room = std::max(TextRect().width() - 1, 0);
    const int caretX = offsets[std::min(m_Caret, offsets.size() - 1)];
    if (caretX < m_ScrollX)
        m_ScrollX = caretX;
    else if (caretX - m_ScrollX > room)
        m_ScrollX = caretX - room;
    // No empty space on the right while text is hidden on the left (after deleting at the end).
    m_ScrollX = std::max(0, std::min(m_ScrollX, offsets.back() - room));
}

std::wstring CEditUI::DisplayText() const {
    return m_Password ? std::wstring(m_Text.size(), kPasswordChar) : m_Text;
}

const Platform::Font& CEditUI::TextFont() const {
    static const Platform::Font unbound;
    return m_Manager ? m_Manager->GetFont(m_Font) : unbound;
}

const std::vector<int>& CEditUI::CaretOffsets() {
    const std::wstring text = DisplayText();
    const Platform::Font& font = TextFont();
    // Offsets up to the first changed character stay valid: typing measures only what follows.
    std::size_t kept = 0;
    if (SameFont(font, m_MeasuredFont))
        kept = static_cast<std::size_t>(
            std::mismatch(text.begin(), text.end(), m_MeasuredText.begin(), m_MeasuredText.end()).first -
            text.begin());
    if (kept == text.size() && kept == m_MeasuredText.size())
        return m_Offsets;
    m_Offsets.resize(text.size() + 1);
    m_Offsets[0] = 0;
    for (std::size_t i = kept + 1; i <= text.size(); ++i)
        m_Offsets[i] = Platform::MeasureText(text.substr(0, i), font).width;
    m_MeasuredText = text;
    m_MeasuredFont = font;
    return m_Offsets;
}

std::size_t CEditUI::CaretPositionAt(int windowX) {
    const std::vector<int>& offsets = CaretOffsets();
    const int x = windowX - TextRect().left + m_ScrollX;
    const auto after = std::lower_bound(offsets.begin(), offsets.end(), x);
    if (after == offsets.begin())
        return 0;
    if (after == offsets.end())
        return offsets.size() - 1;
    const auto index = static_cast<std::size_t>(after - offsets.begin());
    return x - offsets[index - 1] <= offsets[index] - x ? index - 1 : index;
}

int CEditUI::LineHeight() const {
    const std::wstring text = DisplayText();
    return Platform::MeasureText(text.empty() ? L" " : text, TextFont()).height;
}

void CEditUI::PaintStatusImage(Platform::Canvas& canvas, const Rect& paint) {
    // The state's own image, or else the normal one.
    ImageDrawSpec& state = !IsEnabled()  ? m_DisabledImage
                           : IsFocused() ? m_FocusedImage
                           : m_Hot       ? m_HotImage
                                         : m_NormalImage;
    if (&state != &m_NormalImage && !state.empty() && DrawImage(canvas, paint, state))
        return;
    DrawImage(canvas, paint, m_NormalImage);
}

void CEditUI::PaintText(Platform::Canvas& canvas) {
    if (!m_Manager)
        return;
    const Rect rect = TextRect();
    if (!m_Editing) {
        if (!m_Text.empty())
            canvas.drawText(DisplayText(), rect, TextFont(), PlainTextColor(), m_TextStyle | TS::kNoPrefix);
        else if (!m_TipValue.empty())
            canvas.drawText(m_TipValue, rect, TextFont(),
                            m_TipValueColor != 0 ? m_TipValueColor : m_Manager->GetDefaultDisabledColor(),
                            m_TextStyle | TS::kNoPrefix);
        return;
    }

    DrawColor(canvas, rect, m_NativeBkColor);
    if (rect.isEmpty())
        return;
    // The rectangle may have changed since the caret last moved.
    ScrollToCaret();
    const std::vector<int>& offsets = CaretOffsets();
    const int origin = rect.left - m_ScrollX;
    const int height = LineHeight();
    const int top = rect.top + (rect.height() - height) / 2;
    const std::uint32_t colour = m_NativeTextColor != 0 ? m_NativeTextColor : PlainTextColor();

    canvas.save();
    canvas.clipRect(rect);
    if (m_Caret != m_Anchor)
        canvas.fillRect({origin + offsets[GetSelStart()], top, origin + offsets[GetSelEnd()], top + height},
                        m_Manager->GetDefaultSelectedBkColor());
    const std::wstring text = DisplayText();
    if (!text.empty())
        canvas.drawText(text,
                        {origin, rect.top, std::max(rect.right, origin + offsets.back() + 1), rect.bottom},
                        TextFont(), colour, TS::kLeft | TS::kVCenter | TS::kSingleLine | TS::kNoPrefix);
    // Like a native caret, it shows only while the window has the keyboard.
    if (m_CaretShown && Platform::GetFocus() == m_Manager->GetPaintWindow()) {
        const int x = origin + offsets[m_Caret];
        canvas.fillRect({x, top, x + 1, top + height}, colour | 0xFF000000);
    }
    canvas.restore();
}

} // namespace UiLib
