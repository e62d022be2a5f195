#pragma once

#include "uilib/controls/LabelUI.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace UiLib {

// A single-line text entry. While it does not have the focus it paints like a label (with state
// images and a tip text when empty); while focused and enabled it is editing: the text is drawn on
// the native background colour with a blinking caret, a selection and horizontal scrolling, and the
// keyboard, the mouse and the clipboard change it. Every change made by the user sends
// "textchanged"; Return sends "return".
class CEditUI : public CLabelUI {
public:
    // The control's own timer number for the caret; its ticks never become "timer" notifications.
    static constexpr unsigned kCaretTimerId = 0xCA7E;
    static constexpr unsigned kCaretBlinkMilliseconds = 500;
    static constexpr int kDefaultMaxChar = 255;
    static constexpr wchar_t kPasswordChar = L'*';
    static constexpr std::uint32_t kDefaultNativeBkColor = 0xFFFFFFFF;

    CEditUI();
    std::wstring GetClass() const override { return L"Edit"; }
    CControlUI* GetInterface(std::wstring_view name) override;

    // From code: no "textchanged"; while editing the caret and the selection stay inside the new text.
    void SetText(const std::wstring& text) override;
    // Disabling ends the editing; enabling the focused edit starts it again.
    void SetEnabled(bool enabled = true) override;

    bool IsReadOnly() const { return m_ReadOnly; }
    void SetReadOnly(bool readOnly);
    bool IsPasswordMode() const { return m_Password; }
    void SetPasswordMode(bool password);
    bool IsNumberOnly() const { return m_NumberOnly; }
    void SetNumberOnly(bool numberOnly) { m_NumberOnly = numberOnly; }
    // The most characters typing and pasting may leave in the text; 0 means no limit.
    int GetMaxChar() const { return m_MaxChar; }
    void SetMaxChar(int maxChar);

    void SetNormalImage(const std::wstring& image);
    void SetHotImage(const std::wstring& image);
    void SetFocusedImage(const std::wstring& image);
    void SetDisabledImage(const std::wstring& image);
    std::uint32_t GetNativeEditBkColor() const { return m_NativeBkColor; }
    void SetNativeEditBkColor(std::uint32_t argb);
    // 0 means the label's text colour.
    std::uint32_t GetNativeEditTextColor() const { return m_NativeTextColor; }
    void SetNativeEditTextColor(std::uint32_t argb);
    const std::wstring& GetTipValue() const { return m_TipValue; }
    void SetTipValue(const std::wstring& tip);
    // 0 means the window's disabled text colour.
    std::uint32_t GetTipValueColor() const { return m_TipValueColor; }
    void SetTipValueColor(std::uint32_t argb);

    bool IsEditing() const { return m_Editing; }
    // The caret (a position between characters, 0 to the length) and the other end of the selection.
    std::size_t GetCaret() const { return m_Caret; }
    std::size_t GetSelStart() const { return std::min(m_Caret, m_Anchor); }
    std::size_t GetSelEnd() const { return std::max(m_Caret, m_Anchor); }
    // Selects from `anchor` to `caret` (clamped to the text). A selection lasts while the edit is
    // editing: taking the focus puts the caret at the end of the text.
    void SetSel(std::size_t anchor, std::size_t caret);
    void SetSelAll();

    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void DoEvent(TEventUI& event) override;
    void PaintStatusImage(Platform::Canvas& canvas, const Rect& paint) override;
    void PaintText(Platform::Canvas& canvas) override;

private:
    void BeginEditing();
    void EndEditing();
    // False for keys the edit leaves to its parent.
    bool OnKeyDown(unsigned key);
    // Puts `text` in place of the selection as far as the flags and the length limit allow it, as
    // typing it would; nothing changes when none of it is taken.
    void InsertText(const std::wstring& text);
    // Deletes the selection, or else the character before (backwards) or after the caret.
    void DeleteAtCaret(bool backwards);
    // The one place the user's changes go through: the text, the caret after `inserted`, "textchanged".
    void Replace(std::size_t start, std::size_t end, const std::wstring& inserted);
    void CopySelection();
    // Characters of `text` this edit takes (up to the first line break, digits only when number-only).
    std::wstring Acceptable(const std::wstring& text) const;
    // The caret moved or the text changed: keep the caret in view, shown, and repaint.
    void CaretChanged();
    void ScrollToCaret();

    // What is drawn for the text: the text itself, or one password character per character.
    std::wstring DisplayText() const;
    const Platform::Font& TextFont() const;
    // x offsets of every caret position within the drawn text (size = length + 1).
    const std::vector<int>& CaretOffsets();
    std::size_t CaretPositionAt(int windowX);
    int LineHeight() const;

    bool m_ReadOnly = false;
    bool m_Password = false;
    bool m_NumberOnly = false;
    int m_MaxChar = kDefaultMaxChar;
    ImageDrawSpec m_NormalImage;
    ImageDrawSpec m_HotImage;
    ImageDrawSpec m_FocusedImage;
    ImageDrawSpec m_DisabledImage;
    std::uint32_t m_NativeBkColor = kDefaultNativeBkColor;
    std::uint32_t m_NativeTextColor = 0;
    std::wstring m_TipValue;
    std::uint32_t m_TipValueColor = 0;
    bool m_Hot = false;

    bool m_Editing = false;
    std::size_t m_Caret = 0;
    std::size_t m_Anchor = 0;
    bool m_CaretShown = true;
    bool m_Dragging = false;
    int m_ScrollX = 0; // pixels of the text scrolled out on the left

    // The caret offsets belong to the drawn text and font they were measured for.
    std::wstring m_MeasuredText;
    Platform::Font m_MeasuredFont;
    std::vector<int> m_Offsets{0};
};

} // namespace UiLib
