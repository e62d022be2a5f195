#include "uilib/controls/EditUI.h"

#include "platform/Canvas.h"
#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/window/WindowSystem.h"
#include "uilib/WindowImplBase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace UiLib;
using namespace std::chrono_literals;
using Platform::HeadlessDisplay;
using Platform::Point;
using Platform::Rect;
namespace Key = Platform::Key;

namespace {

struct Notice {
    std::wstring type;
    std::wstring sender;
    std::wstring text; // the sender's text when the notification arrived
};

// A layout window whose layout is given as text; it records every notification.
class EditWindow : public WindowImplBase {
public:
    explicit EditWindow(std::wstring layout) : m_Layout(std::move(layout)) {}

    void Notify(NotifyMsg& msg) override {
        notices.push_back({msg.sType, msg.pSender ? msg.pSender->GetName() : L"",
                           msg.pSender ? msg.pSender->GetText() : L""});
    }

    std::vector<Notice> notices;

protected:
    std::wstring GetWindowClassName() const override { return L"EditTestWindow"; }
    std::wstring GetSkinFile() const override { return m_Layout; }

private:
    std::wstring m_Layout;
};

// One user action on the focused edit.
struct Step {
    enum class Kind { Tap, Shift, Control, Type, Paste } kind;
    unsigned key = 0;
    std::wstring text;
};
Step Tap(unsigned key) {
    return {Step::Kind::Tap, key, {}};
}
Step ShiftTap(unsigned key) {
    return {Step::Kind::Shift, key, {}};
}
Step ControlTap(unsigned key) {
    return {Step::Kind::Control, key, {}};
}
Step Type(std::wstring text) {
    return {Step::Kind::Type, 0, std::move(text)};
}
// Puts the text on the clipboard, then Ctrl+V.
Step Paste(std::wstring text) {
    return {Step::Kind::Paste, 0, std::move(text)};
}

bool Reddish(std::uint32_t pixel) {
    return ((pixel >> 16) & 0xFF) > 150 && ((pixel >> 8) & 0xFF) < 100 && (pixel & 0xFF) < 100;
}

class EditTest : public testing::Test {
protected:
    static constexpr unsigned kWatchTimer = 1000;

    // A 300 × 150 window with `body` above a 30-high "ok" button, in a white vertical layout.
    void Open(const std::wstring& body) {
        Close();
        m_Window = std::make_unique<EditWindow>(
            L"<Window size=\"300,150\"><VerticalLayout bkcolor=\"#FFFFFFFF\">" + body +
            L"<Button name=\"ok\" height=\"30\" text=\"OK\"/></VerticalLayout></Window>");
        ASSERT_NE(
            m_Window->Create(Platform::kNoWindow, L"edit", Platform::Style::kPopup, 0, {100, 100, 400, 250}),
            Platform::kNoWindow);
        m_Window->ShowWindow();
        Pump();
    }

    void Close() {
        if (m_Window && Platform::IsWindow(m_Window->GetHWND()))
            Platform::DestroyNativeWindow(m_Window->GetHWND());
        Pump();
        m_Window.reset();
    }

    void TearDown() override { Close(); }

    HeadlessDisplay& Display() { return HeadlessDisplay::Current(); }
    Platform::WindowHandle Handle() const { return m_Window->GetHWND(); }

    CEditUI& Edit(const std::wstring& name = L"edit") {
        CControlUI* control = m_Window->GetManager().FindControl(name);
        EXPECT_NE(control, nullptr) << "no control named " << testing::PrintToString(name);
        return *static_cast<CEditUI*>(control->GetInterface(L"Edit"));
    }

    // The texts of the edit each time it sent `type`.
    std::vector<std::wstring> Sent(const std::wstring& type, const std::wstring& sender = L"edit") const {
        std::vector<std::wstring> texts;
        for (const Notice& notice : m_Window->notices)
            if (notice.type == type && notice.sender == sender)
                texts.push_back(notice.text);
        return texts;
    }

    // Handles what the window has ready now: the input given so far and the paints it causes.
    void Pump() {
        Platform::Message message;
        while (Platform::PeekMessage(message))
            if (!CWindowManagerUI::TranslateMessage(message))
                Platform::DispatchMessage(message);
    }

    // Runs the window's loop until `done` holds or `limit` passes (false then). `tick` sees every
    // message before it is handled.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                  const std::function<void(const Platform::Message&)>& tick = {}) {
        // The watch timer wakes the loop when nothing else would.
        Platform::SetTimer(Handle(), kWatchTimer, 20);
        const auto end = std::chrono::steady_clock::now() + limit;
        Platform::Message message;
        bool held = done();
        while (!held && std::chrono::steady_clock::now() < end && Platform::GetMessage(message)) {
            if (tick)
                tick(message);
            if (!CWindowManagerUI::TranslateMessage(message))
                Platform::DispatchMessage(message);
            held = done();
        }
        Platform::KillTimer(Handle(), kWatchTimer);
        return held;
    }

    // Timer messages of the window other than the watch's during `duration`.
    int TimerTicksDuring(std::chrono::milliseconds duration) {
        int ticks = 0;
        RunUntil([] { return false; }, duration,
                 [&](const Platform::Message& message) {
                     if (message.window == Handle() && message.message == Platform::Msg::kTimer &&
                         message.wParam != kWatchTimer)
                         ++ticks;
                 });
        return ticks;
    }

    Point OnScreen(Point inWindow) const {
        const Rect window = Platform::GetWindowRect(Handle());
        return {window.left + inWindow.x, window.top + inWindow.y};
    }

    void ClickAt(Point inWindow) {
        Display().click(OnScreen(inWindow));
        Pump();
    }

    // Clicks near the right end of the control, past its text; each time at another height, so that
    // two clicks never make a double click.
    void ClickInto(const std::wstring& name = L"edit") {
        const Rect pos = m_Window->GetManager().FindControl(name)->GetPos();
        ClickAt({pos.right - 2, pos.top + 5 + 8 * (m_Clicks++ % 3)});
    }

    void Run(const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            switch (step.kind) {
            case Step::Kind::Tap:
                Display().tapKey(step.key);
                break;
            case Step::Kind::Shift:
            case Step::Kind::Control: {
                const unsigned modifier = step.kind == Step::Kind::Shift ? Key::kShift : Key::kControl;
                Display().pressKey(modifier);
                Display().tapKey(step.key);
                Display().releaseKey(modifier);
                break;
            }
            case Step::Kind::Type:
                Display().typeText(step.text);
                break;
            case Step::Kind::Paste:
                Platform::SetClipboardText(step.text);
                Display().pressKey(Key::kControl);
                Display().tapKey('V');
                Display().releaseKey(Key::kControl);
                break;
            }
            Pump();
        }
    }

    std::unique_ptr<Platform::Surface> Snapshot() {
        Pump();
        return Display().snapshot(Handle());
    }

    std::unique_ptr<EditWindow> m_Window;
    int m_Clicks = 0;
};

TEST_F(EditTest, TypingChangesTheTextNotifyingEachChangeAndReturnIsReported) {
    Open(L"<Edit name=\"edit\" height=\"30\"/>");
    ClickInto();
    ASSERT_TRUE(Edit().IsEditing());
    EXPECT_EQ(Display().cursor(Handle()), Platform::Cursor::Text);

    Run({Type(L"ab你好")});
    EXPECT_EQ(Edit().GetText(), L"ab你好");
    EXPECT_EQ(Sent(L"textchanged"), (std::vector<std::wstring>{L"a", L"ab", L"ab你", L"ab你好"}));

    Run({Tap(Key::kReturn)});
    EXPECT_EQ(Sent(L"return").size(), 1u);
    EXPECT_EQ(Edit().GetText(), L"ab你好");

    // Text set from code is no user change; the caret that was past its end goes to its end.
    Edit().SetText(L"hi");
    EXPECT_EQ(Sent(L"textchanged").size(), 4u);
    Run({Type(L"!")});
    EXPECT_EQ(Edit().GetText(), L"hi!");
}

struct EditingCase {
    const char* what;
    std::wstring attributes;
    std::wstring start;
    std::vector<Step> steps;
    std::wstring expected;
    int changes; // "textchanged" notifications expected
};

TEST_F(EditTest, KeysFlagsAndLimitsDecideWhatTheUserChanges) {
    const std::vector<EditingCase> cases = {
        {"Backspace removes the character before the caret", L"", L"hello", {Tap(Key::kBack)}, L"hell", 1},
        {"Shift+Left selects, Backspace removes the selection",
         L"",
         L"hello",
         {ShiftTap(Key::kLeft), ShiftTap(Key::kLeft), Tap(Key::kBack)},
         L"hel",
         1},
        {"Delete removes the character after the caret",
         L"",
         L"hello",
         {Tap(Key::kHome), Tap(Key::kDelete)},
         L"ello",
         1},
        {"Shift+Home selects back to the start",
         L"",
         L"hello",
         {Tap(Key::kLeft), Tap(Key::kLeft), ShiftTap(Key::kHome), Tap(Key::kDelete)},
         L"lo",
         1},
        {"Left ends a selection at its start",
         L"",
         L"hello",
         {Tap(Key::kHome), ShiftTap(Key::kEnd), Tap(Key::kLeft), Type(L"x")},
         L"xhello",
         1},
        {"Right ends a selection at its end",
         L"",
         L"hello",
         {Tap(Key::kHome), ShiftTap(Key::kRight), ShiftTap(Key::kRight), Tap(Key::kRight), Type(L"x")},
         L"hexllo",
         1},
        {"typing replaces the selection", L"", L"hello", {ControlTap('A'), Type(L"新")}, L"新", 1},
        {"nothing to delete at either end",
         L"",
         L"ab",
         {Tap(Key::kDelete), Tap(Key::kHome), Tap(Key::kBack)},
         L"ab",
         0},
        {"control characters are not typed", L"", L"ab", {Type(L"\t\x7f\x1b")}, L"ab", 0},
        {"a paste ends at its first line break",
         L"",
         L"",
         {Paste(L"C:\\Tovaclip 视频\r\nsecond")},
         L"C:\\Tovaclip 视频",
         1},
        {"typing stops at maxchar", L"maxchar=\"5\"", L"", {Type(L"abcdefg")}, L"abcde", 5},
        {"a paste is cut at maxchar", L"maxchar=\"5\"", L"abc", {Paste(L"123456")}, L"abc12", 1},
        {"a selection makes room under maxchar",
         L"maxchar=\"5\"",
         L"abcde",
         {ControlTap('A'), Type(L"xy")},
         L"xy",
         2},
        {"a text from code beyond maxchar takes nothing more",
         L"maxchar=\"3\"",
         L"abcdef",
         {Type(L"x")},
         L"abcdef",
         0},
        {"maxchar 0 sets no limit",
         L"maxchar=\"0\"",
         std::wstring(300, L'a'),
         {Type(L"b")},
         std::wstring(300, L'a') + L"b",
         1},
        {"number-only takes digits only", L"numberonly=\"true\"", L"", {Type(L"1a2b３3")}, L"123", 3},
        {"number-only pastes the digits", L"numberonly=\"true\"", L"", {Paste(L"12-34\n56")}, L"1234", 1},
        {"a refused character leaves the selection",
         L"numberonly=\"true\"",
         L"42",
         {ControlTap('A'), Type(L"x")},
         L"42",
         0},
        {"read-only changes nothing",
         L"readonly=\"true\"",
         L"fixed",
         {Type(L"x"), Tap(Key::kBack), ControlTap('A'), Tap(Key::kDelete), ControlTap('X'), Paste(L"new")},
         L"fixed",
         0},
    };
    for (const EditingCase& each : cases) {
        SCOPED_TRACE(each.what);
        Open(L"<Edit name=\"edit\" height=\"30\" " + each.attributes + L"/>");
        Edit().SetText(each.start);
        ClickInto();
        ASSERT_TRUE(Edit().IsEditing());
        ASSERT_EQ(Edit().GetCaret(), each.start.size());
        Run(each.steps);
        EXPECT_EQ(Edit().GetText(), each.expected);
        EXPECT_EQ(Sent(L"textchanged").size(), static_cast<size_t>(each.changes));
    }
}

TEST_F(EditTest, CopyCutAndPasteGoThroughTheClipboardButAPasswordNeverLeaves) {
    Open(L"<Edit name=\"from\" height=\"30\" readonly=\"true\" text=\"D:\\软件\\Tovaclip\"/>"
         L"<Edit name=\"to\" height=\"30\"/>"
         L"<Edit name=\"secret\" height=\"30\" password=\"true\" text=\"hunter2\"/>");
    Platform::SetClipboardText(L"before");

    ClickInto(L"from");
    Run({ControlTap('A'), ControlTap('C')});
    EXPECT_EQ(Platform::GetClipboardText(), L"D:\\软件\\Tovaclip");

    ClickInto(L"to");
    Run({ControlTap('V')});
    EXPECT_EQ(Edit(L"to").GetText(), L"D:\\软件\\Tovaclip");
    Run({Tap(Key::kHome), ShiftTap(Key::kRight), ShiftTap(Key::kRight), ShiftTap(Key::kRight),
         ControlTap('X')});
    EXPECT_EQ(Edit(L"to").GetText(), L"软件\\Tovaclip");
    EXPECT_EQ(Platform::GetClipboardText(), L"D:\\");
    EXPECT_EQ(Sent(L"textchanged", L"to"),
              (std::vector<std::wstring>{L"D:\\软件\\Tovaclip", L"软件\\Tovaclip"}));

    ClickInto(L"secret");
    Run({ControlTap('A'), ControlTap('C'), ControlTap('X')});
    EXPECT_EQ(Platform::GetClipboardText(), L"D:\\");
    EXPECT_EQ(Edit(L"secret").GetText(), L"hunter2");
}

TEST_F(EditTest, ClickPlacesTheCaretDragSelectsAndDoubleClickSelectsAll) {
    Open(L"<Edit name=\"edit\" height=\"30\" textpadding=\"4,0,4,0\" text=\"abcdef\"/>");
    const Platform::Font& font = m_Window->GetManager().GetDefaultFont();
    const int left = Edit().GetPos().left + 4;
    // Just past the boundary after `count` characters, so it is the nearest one.
    auto boundary = [&](size_t count) {
        return left + Platform::MeasureText(std::wstring(L"abcdef").substr(0, count), font).width + 1;
    };
    // Every step presses at another height, so no two presses make a double click by accident.
    ClickAt({boundary(3), 5});
    Run({Type(L"X")});
    EXPECT_EQ(Edit().GetText(), L"abcXdef");

    Edit().SetText(L"abcdef");
    Display().movePointer(OnScreen({boundary(1), 12}));
    Display().pressButton();
    Display().movePointer(OnScreen({boundary(4), 12}));
    Display().releaseButton();
    Run({Type(L"Y")});
    EXPECT_EQ(Edit().GetText(), L"aYef");

    ClickAt({Edit().GetPos().right - 2, 19});
    Run({Type(L"!")});
    EXPECT_EQ(Edit().GetText(), L"aYef!");

    ClickAt({boundary(2), 26});
    ClickAt({boundary(2), 26});
    Run({Type(L"Z")});
    EXPECT_EQ(Edit().GetText(), L"Z");
}

TEST_F(EditTest, APasswordEditDrawsOneStarPerCharacter) {
    Open(L"<Edit name=\"edit\" height=\"30\" password=\"true\" text=\"WWWW\"/>"
         L"<Edit name=\"plain\" height=\"30\" text=\"****\"/>");
    const Rect pos = Edit().GetPos();
    // Pixels of the edit's text rectangle with the columns in [skipFrom, skipTo) left out.
    auto pixels = [&](int shift, int skipFrom = 0, int skipTo = 0) {
        std::unique_ptr<Platform::Surface> shot = Snapshot();
        std::vector<std::uint32_t> seen;
        for (int y = pos.top; y < pos.bottom; ++y)
            for (int x = pos.left; x < pos.right; ++x)
                if (x < skipFrom || x >= skipTo)
                    seen.push_back(shot->pixel(x, y + shift));
        return seen;
    };
    auto drawn = [](const std::vector<std::uint32_t>& seen) {
        return std::count_if(seen.begin(), seen.end(), [](std::uint32_t p) { return (p & 0xFF) < 128; });
    };

    // Not editing: the same picture as a plain edit showing four stars.
    const std::vector<std::uint32_t> shown = pixels(0);
    EXPECT_GT(drawn(shown), 0);
    EXPECT_EQ(shown, pixels(pos.height()));

    // Editing, with the caret at the start (its column left out): other characters, the same picture.
    ClickInto();
    Run({Tap(Key::kHome)});
    const std::vector<std::uint32_t> wide = pixels(0, pos.left, pos.left + 1);
    EXPECT_GT(drawn(wide), 0);
    Run({ControlTap('A'), Type(L"iiii"), Tap(Key::kHome)});
    ASSERT_EQ(Edit().GetText(), L"iiii");
    EXPECT_EQ(wide, pixels(0, pos.left, pos.left + 1));
}

TEST_F(EditTest, LosingTheFocusEndsEditingAndStopsTheCaret) {
    Open(L"<Edit name=\"edit\" height=\"30\" text=\"abc\"/>");
    ClickInto();
    ASSERT_TRUE(Edit().IsEditing());

    // The caret blinks: its column changes by itself.
    const Rect pos = Edit().GetPos();
    const int caretX =
        pos.left + Platform::MeasureText(L"abc", m_Window->GetManager().GetDefaultFont()).width;
    const int middle = (pos.top + pos.bottom) / 2;
    const std::uint32_t first = Snapshot()->pixel(caretX, middle);
    EXPECT_TRUE(RunUntil([&] { return Display().snapshot(Handle())->pixel(caretX, middle) != first; }, 5s));

    ClickInto(L"ok");
    EXPECT_FALSE(Edit().IsEditing());
    EXPECT_EQ(TimerTicksDuring(3 * std::chrono::milliseconds(CEditUI::kCaretBlinkMilliseconds)), 0);
    // The caret's ticks stayed inside the edit.
    EXPECT_TRUE(Sent(L"timer").empty());

    Run({Type(L"x")});
    EXPECT_EQ(Edit().GetText(), L"abc");
}

TEST_F(EditTest, ADisabledEditNeverEdits) {
    Open(L"<Edit name=\"edit\" height=\"30\" enabled=\"false\" text=\"abc\"/>");
    ClickInto();
    Run({Type(L"x")});
    EXPECT_FALSE(Edit().IsEditing());
    EXPECT_EQ(Edit().GetText(), L"abc");

    Edit().SetEnabled(true);
    ClickInto();
    Run({Type(L"x")});
    EXPECT_EQ(Edit().GetText(), L"abcx");

    Edit().SetEnabled(false);
    EXPECT_FALSE(Edit().IsEditing());
    Run({Type(L"y")});
    EXPECT_EQ(Edit().GetText(), L"abcx");

    // It kept the focus, so enabling it again goes on editing.
    Edit().SetEnabled(true);
    Run({Type(L"z")});
    EXPECT_EQ(Edit().GetText(), L"abcxz");
}

TEST_F(EditTest, TheTipShowsWhileEmptyAndNotEditing) {
    Open(L"<Edit name=\"edit\" height=\"30\" tipvalue=\"请输入安装路径\" tipvaluecolor=\"#FFFF0000\"/>");
    const Rect pos = Edit().GetPos();
    auto tipShown = [&] {
        std::unique_ptr<Platform::Surface> shot = Snapshot();
        for (int y = pos.top; y < pos.bottom; ++y)
            for (int x = pos.left; x < pos.right; ++x)
                if (Reddish(shot->pixel(x, y)))
                    return true;
        return false;
    };
    EXPECT_TRUE(tipShown());
    ClickInto();
    EXPECT_FALSE(tipShown());
    Run({Type(L"a")});
    ClickInto(L"ok");
    EXPECT_FALSE(tipShown());
    Edit().SetText(L"");
    EXPECT_TRUE(tipShown());
}

} // namespace
