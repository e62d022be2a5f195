#include "tests/ui/SequenceWindow.h"
#include "tests/support/TestSupport.h"
#include "tests/uilib/LayoutWindow.h"

#include "platform/display/headless/HeadlessDisplay.h"
#include "ui/SequenceLabelUI.h"

#include <gtest/gtest.h>

using namespace UiLib;

TEST(SequenceWindow, TheFrameTimerRunsUntilTheSequenceEnds) {
    SequenceWindow window(LR"(<Window size="400,200"><HorizontalLayout>
        <SequenceLabel name="progressAnLb" width="157" height="156" sequencebkimage="res\mainWnd\installBtnAnimate\%.3d.png"
                       sequencecount="75" sequenceround="false" sequencespan="30" autostart="true" />
        <SequenceLabel name="manual" sequencebkimage="%d" sequencecount="3" />
        <SequenceLabel name="autoFalse" sequencebkimage="%d" sequencecount="3" autostart="False" />
        <SequenceLabel name="once" sequencebkimage="%d" sequencecount="3" sequenceloop="false" autostart="true" />
        <SequenceLabel name="empty" sequencecount="3" autostart="true" />
        <SequenceLabel name="none" sequencebkimage="%d" autostart="true" />
        <SequenceButton name="button" sequencebkimage="%d" sequencecount="3" autostart="true" />
    </HorizontalLayout></Window>)");
    ASSERT_NE(window.GetHWND(), Platform::kNoWindow);

    // Started when the layout is loaded only when asked to, and "False" is not "false".
    EXPECT_TRUE(window.SequenceTimerRuns(window.Control(L"progressAnLb")));
    EXPECT_FALSE(window.SequenceTimerRuns(window.Control(L"manual")));
    EXPECT_TRUE(window.SequenceTimerRuns(window.Control(L"autoFalse")));
    EXPECT_TRUE(window.SequenceTimerRuns(window.Control(L"button")));

    CControlUI& once = window.Control(L"once");
    for (int tick = 0; tick < 3; ++tick)
        Tick(once);
    EXPECT_TRUE(window.SequenceTimerRuns(once));
    Tick(once);
    EXPECT_FALSE(window.SequenceTimerRuns(once));
    EXPECT_EQ(once.GetBkImage(), L"2");

    // A pattern-less sequence idles with its timer; one without frames stops.
    CControlUI& empty = window.Control(L"empty");
    Tick(empty);
    EXPECT_TRUE(window.SequenceTimerRuns(empty));
    EXPECT_EQ(empty.GetBkImage(), L"");
    CControlUI& none = window.Control(L"none");
    Tick(none);
    EXPECT_FALSE(window.SequenceTimerRuns(none));
    EXPECT_EQ(none.GetBkImage(), L"");

    // Start runs a stopped sequence again from its first frame, and leaves a running timer alone.
    auto& manual = static_cast<CSequenceLabelUI&>(window.Control(L"manual"));
    manual.Start();
    EXPECT_TRUE(window.SequenceTimerRuns(manual));
    Tick(manual);
    Tick(manual);
    EXPECT_EQ(manual.GetBkImage(), L"1");
    manual.Start();
    Tick(manual);
    EXPECT_EQ(manual.GetBkImage(), L"0");

    // The owner stops the sequence by killing the frame timer on the control.
    EXPECT_TRUE(window.GetManager().KillTimer(&manual, 2100));
    EXPECT_FALSE(window.SequenceTimerRuns(manual));
}

TEST(SequenceWindow, RealTimersPlayTheFramesAndAMissingPictureDrawsNothing) {
    TestSupport::TempDir frames;
    const std::uint32_t red = 0xFFFF0000, green = 0xFF00FF00;
    for (auto [name, colour] : {std::pair{"000.png", red}, std::pair{"001.png", green}}) {
        Platform::Surface picture(4, 4);
        Platform::Canvas(picture).fillRect({0, 0, 4, 4}, colour);
        ASSERT_TRUE(picture.writePng((frames.path() / name).string()));
    }
    // Frame 002 has no picture.
    const std::wstring pattern = frames.wide() + L"/%.3d.png";
    SequenceWindow window(
        L"<Window size=\"40,40\"><SequenceLabel name=\"anim\" sequencebkimage=\"" + pattern +
        L"\" sequencecount=\"3\" sequencespan=\"20\" sequenceloop=\"false\" autostart=\"true\" /></Window>");
    window.ShowWindow();
    CControlUI& anim = window.Control(L"anim");

    auto pixelShown = [&] {
        Platform::UpdateWindow(window.GetHWND());
        return Platform::HeadlessDisplay::Current().snapshot(window.GetHWND())->pixel(20, 20);
    };
    // One message at a time, so the frame painted is the one just set.
    auto pumpUntilFrame = [&](const std::wstring& name) {
        return TestSupport::WaitUntil([&] {
            Platform::Message message;
            while (anim.GetBkImage() != name && Platform::PeekMessage(message))
                Platform::DispatchMessage(message);
            return anim.GetBkImage() == name;
        });
    };
    ASSERT_TRUE(pumpUntilFrame(frames.wide() + L"/000.png"));
    EXPECT_EQ(pixelShown(), red);
    ASSERT_TRUE(pumpUntilFrame(frames.wide() + L"/001.png"));
    EXPECT_EQ(pixelShown(), green);
    ASSERT_TRUE(pumpUntilFrame(frames.wide() + L"/002.png"));
    EXPECT_EQ(pixelShown(), 0u);

    // The run ends on its last frame and the timer with it.
    ASSERT_TRUE(TestSupport::WaitUntil([&] {
        LayoutWindow::PumpReady();
        return !window.SequenceTimerRuns(anim);
    }));
    EXPECT_EQ(anim.GetBkImage(), frames.wide() + L"/002.png");
}
