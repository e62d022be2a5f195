#include "tests/ui/SequenceWindow.h"
#include "ui/InstallerControls.h"
#include "ui/SequenceButtonUI.h"
#include "ui/SequenceLabelUI.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace UiLib;

namespace {

using Attributes = std::vector<std::pair<std::wstring, std::wstring>>;

std::unique_ptr<CControlUI> MakeControl(const std::wstring& className, const Attributes& attributes) {
    std::unique_ptr<CControlUI> control = CreateInstallerControl(className);
    for (const auto& [name, value] : attributes)
        control->SetAttribute(name, value);
    return control;
}

// The background after each of `ticks` timer events, blank-separated; "-" while there is none.
std::string Frames(CControlUI& control, int ticks) {
    std::string shown;
    for (int i = 0; i < ticks; ++i) {
        Tick(control);
        const std::wstring& image = control.GetBkImage();
        shown +=
            (i ? " " : "") + (image.empty() ? std::string("-") : std::string(image.begin(), image.end()));
    }
    return shown;
}

} // namespace

TEST(SequenceAnimation, ShippedProgressAnimationShowsEveryFrameThenStartsOver) {
    auto control =
        MakeControl(L"SequenceLabel", {{L"name", L"progressAnLb"},
                                       {L"sequencebkimage", L"res\\mainWnd\\installBtnAnimate\\%.3d.png"},
                                       {L"sequencecount", L"75"},
                                       {L"sequenceround", L"false"},
                                       {L"sequencespan", L"30"},
                                       {L"autostart", L"true"}});
    Tick(*control);
    EXPECT_EQ(control->GetBkImage(), L"res\\mainWnd\\installBtnAnimate\\000.png");
    for (int tick = 2; tick <= 75; ++tick)
        Tick(*control);
    EXPECT_EQ(control->GetBkImage(), L"res\\mainWnd\\installBtnAnimate\\074.png");
    Tick(*control);
    EXPECT_EQ(control->GetBkImage(), L"res\\mainWnd\\installBtnAnimate\\000.png");
}

// These controls are bound to no window, so a stopped sequence is seen in the frame that stays; the
// window tests see the timer itself.
TEST(SequenceAnimation, FramesFollowCountLoopAndDirection) {
    struct Case {
        const char* what;
        std::wstring className;
        Attributes attributes;
        int ticks;
        std::string frames;
    };
    const std::wstring label = L"SequenceLabel", button = L"SequenceButton";
    const Case cases[] = {
        {"forward, looping", label, {{L"sequencecount", L"3"}}, 7, "0 1 2 0 1 2 0"},
        {"count in capitals", label, {{L"SEQUENCECOUNT", L"3"}}, 4, "0 1 2 0"},
        {"ping-pong", label, {{L"sequencecount", L"3"}, {L"sequenceround", L"true"}}, 9, "0 1 2 1 0 1 2 1 0"},
        {"ping-pong of two",
         label,
         {{L"sequencecount", L"2"}, {L"sequenceround", L"true"}},
         6,
         "0 1 0 1 0 1"},
        {"any text but false turns ping-pong on",
         label,
         {{L"sequencecount", L"3"}, {L"SequenceRound", L"False"}},
         5,
         "0 1 2 1 0"},
        {"button plays ping-pong by default", button, {{L"sequencecount", L"3"}}, 6, "0 1 2 1 0 1"},
        {"button told not to",
         button,
         {{L"sequencecount", L"3"}, {L"sequenceround", L"false"}},
         5,
         "0 1 2 0 1"},
        {"no loop stops on the last frame",
         label,
         {{L"sequencecount", L"3"}, {L"sequenceloop", L"false"}},
         4,
         "0 1 2 2"},
        {"loop False is still a loop",
         label,
         {{L"sequencecount", L"3"}, {L"SEQUENCELOOP", L"False"}},
         5,
         "0 1 2 0 1"},
        {"ping-pong without loop stops on the way back",
         label,
         {{L"sequencecount", L"3"}, {L"sequenceround", L"true"}, {L"sequenceloop", L"false"}},
         5,
         "0 1 2 1 1"},
        {"no frames", label, {{L"sequencecount", L"0"}}, 3, "- - -"},
        {"one frame back and forth", button, {{L"sequencecount", L"1"}}, 3, "0 0 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto control = MakeControl(c.className, c.attributes);
        control->SetAttribute(L"sequencebkimage", L"%d");
        EXPECT_EQ(Frames(*control, c.ticks), c.frames);
    }
}

TEST(SequenceAnimation, WithoutPatternTicksChangeNothing) {
    // Only the exact attribute name sets the pattern; any other spelling is the base's custom attribute.
    auto control = MakeControl(L"SequenceLabel", {{L"sequenceBkImage", L"%d"}, {L"sequencecount", L"3"}});
    EXPECT_EQ(Frames(*control, 3), "- - -");
    EXPECT_EQ(control->GetCustomAttribute(L"sequenceBkImage"), L"%d");
    EXPECT_EQ(static_cast<CSequenceLabelUI*>(control.get())->GetSequenceImage(), L"");
}

TEST(SequenceAnimation, StartPlaysFromTheFirstFrameAgain) {
    CSequenceButtonUI button;
    button.SetSequenceImage(L"f%d");
    button.SetSequenceCount(5);
    EXPECT_EQ(Frames(button, 3), "f0 f1 f2");
    button.Start();
    EXPECT_EQ(Frames(button, 2), "f0 f1");
}

TEST(SequenceAnimation, AttributesSetTheSequenceAndLeaveTheRestToTheBase) {
    auto control = MakeControl(L"SequenceButton", {{L"sequencebkimage", L"a\\%02d.png"},
                                                   {L"SequenceCount", L"12"},
                                                   {L"SEQUENCESPAN", L"45"},
                                                   {L"text", L"Install"},
                                                   {L"pushedtextcolor", L"#FF112233"}});
    auto* button = static_cast<CSequenceButtonUI*>(control.get());
    EXPECT_EQ(button->GetSequenceImage(), L"a\\%02d.png");
    EXPECT_EQ(button->GetSequenceCount(), 12u);
    EXPECT_EQ(button->GetSequenceSpan(), 45);
    EXPECT_EQ(button->GetText(), L"Install");
    EXPECT_EQ(button->GetPushedTextColor(), 0xFF112233u);

    CSequenceLabelUI label;
    EXPECT_EQ(label.GetSequenceSpan(), 30);
    EXPECT_EQ(label.GetSequenceCount(), 0u);
    EXPECT_EQ(CSequenceButtonUI().GetSequenceSpan(), 60);
}

TEST(SequenceAnimation, FrameNamesTakeOneIntegerConversion) {
    struct Case {
        std::wstring pattern;
        std::uint32_t frame;
        std::wstring name;
    };
    const Case cases[] = {
        {L"res\\mainWnd\\installBtnAnimate\\%.3d.png", 7, L"res\\mainWnd\\installBtnAnimate\\007.png"},
        {L"%d%%.png", 5, L"5%.png"},
        {L"%05u", 42, L"00042"},
        {L"%#x", 42, L"0x2a"},
        {L"%-3d|", 4, L"4  |"},
        {L"%ld", 9, L"9"},
        {L"still.png", 3, L"still.png"},
        {L"动画\\%d.png", 1, L"动画\\1.png"},
        // Anything else in the pattern gives no name instead of reading an argument that is not there.
        {L"%s.png", 1, L""},
        {L"%d-%d.png", 1, L""},
        {L"%*d", 1, L""},
        {L"frame%", 1, L""},
        {L"%1000d", 1, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFrameName(c.pattern, c.frame), c.name)
            << std::string(c.pattern.begin(), c.pattern.end());
    const std::wstring longName = FormatFrameName(std::wstring(300, L'a') + L"%d", 1);
    EXPECT_EQ(longName, std::wstring(259, L'a'));
}

TEST(SequenceAnimation, InstallerControlsByElementName) {
    struct Case {
        std::wstring element;
        std::wstring className;
    };
    const Case cases[] = {
        {L"SequenceLabel", L"SequenceLabel"},
        {L"SequenceButton", L"SequenceButton"},
        {L"sequencelabel", L"SequenceLabel"},
        {L"SEQUENCEBUTTON", L"SequenceButton"},
        {L"Label", L""},
        {L"Sequence", L""},
    };
    for (const Case& c : cases) {
        std::unique_ptr<CControlUI> control = CreateInstallerControl(c.element);
        EXPECT_EQ(control ? control->GetClass() : L"", c.className)
            << std::string(c.element.begin(), c.element.end());
    }

    CSequenceLabelUI label;
    EXPECT_EQ(label.GetInterface(L"SequenceLabel"), &label);
    EXPECT_EQ(label.GetInterface(L"Label"), &label);
    EXPECT_EQ(label.GetInterface(L"Button"), nullptr);
    CSequenceButtonUI button;
    EXPECT_EQ(button.GetInterface(L"SequenceButton"), &button);
    EXPECT_EQ(button.GetInterface(L"Button"), &button);
    EXPECT_EQ(button.GetInterface(L"SequenceLabel"), nullptr);
}
