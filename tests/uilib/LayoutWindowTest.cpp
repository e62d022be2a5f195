#include "tests/uilib/LayoutWindow.h"

#include "uilib/controls/CheckBoxUI.h"
#include "uilib/controls/ProgressUI.h"
#include "uilib/controls/TabLayoutUI.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

using namespace UiLib;
using LayoutWindow::Frame;
using LayoutWindow::Note;
using LayoutWindow::Plain;
using LayoutWindow::PumpReady;
using LayoutWindow::PumpUntil;
using Platform::Point;

namespace {

const wchar_t* const kDialog = LR"(<?xml version="1.0" encoding="UTF-8"?>
<Window size="400,300" caption="0,0,0,35" roundcorner="6,6" showshadow="true">
  <VerticalLayout name="root" bkcolor="#FFFFFFFF">
    <HorizontalLayout name="titlebar" height="35" bkcolor="#FF2060C0">
      <Label name="title" text="标题" width="200"/>
      <Control/>
      <Button name="closebtn" width="30" text="x"/>
    </HorizontalLayout>
    <TabLayout name="pages">
      <VerticalLayout name="page0">
        <CheckBox name="agree" height="20" selected="true" text="同意"/>
        <Progress name="bar" height="8" width="200" foreimage="color='#FF00FF00'" value="50"/>
        <Button name="next" height="30" text="下一步"/>
      </VerticalLayout>
      <VerticalLayout name="page1"/>
    </TabLayout>
  </VerticalLayout>
</Window>)";

Point Centre(CControlUI* control) {
    const Platform::Rect& rect = control->GetPos();
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

} // namespace

TEST(LayoutWindowTest, OpensAtTheLayoutsSizeWithItsRoundedOutlineAndInitialisesOnce) {
    Plain window(kDialog);
    ASSERT_NE(window.Open(), Platform::kNoWindow);
    const Platform::Rect rect = Platform::GetWindowRect(window.GetHWND());
    EXPECT_EQ(rect.width(), 400);
    EXPECT_EQ(rect.height(), 300);
    const auto region = Platform::GetWindowRegion(window.GetHWND());
    ASSERT_TRUE(region.has_value());
    EXPECT_EQ(region->size, (Platform::Size{401, 301}));
    EXPECT_FALSE(region->contains({0, 0}));
    EXPECT_TRUE(region->contains({3, 3}));
    EXPECT_EQ(window.NotesOf(L"windowinit").size(), 1u);
    EXPECT_EQ(window.GetManager().GetWindowCustomAttribute(L"showshadow"), L"true");

    // The first page shows, the other is hidden; selecting sends "tabselect" once with new and old index.
    auto* pages = static_cast<CTabLayoutUI*>(window.Find(L"pages"));
    EXPECT_TRUE(window.Find(L"page0")->IsVisible());
    EXPECT_FALSE(window.Find(L"page1")->IsVisible());
    pages->SelectItem(1);
    pages->SelectItem(1);
    EXPECT_EQ(window.NotesOf(L"tabselect"), (std::vector<Note>{{L"tabselect", L"pages", 1, 0}}));
}

TEST(LayoutWindowTest, TheCaptionDragsExceptOverButtons) {
    Frame window(kDialog);
    const Platform::WindowHandle hwnd = window.Open();
    auto hitAt = [&](Point point) {
        return Platform::SendMessage(hwnd, Platform::Msg::kNcHitTest, 0,
                                     Platform::PackPoint(window.Screen(point)));
    };
    EXPECT_EQ(hitAt(Centre(window.Find(L"title"))), Platform::HitTest::kCaption);
    EXPECT_EQ(hitAt({250, 10}), Platform::HitTest::kCaption); // the empty stretch of the title bar
    EXPECT_EQ(hitAt(Centre(window.Find(L"closebtn"))), Platform::HitTest::kClient);
    EXPECT_EQ(hitAt({200, 100}), Platform::HitTest::kClient); // below the caption
    EXPECT_EQ(hitAt({20, 34}), Platform::HitTest::kCaption);
    EXPECT_EQ(hitAt({20, 35}), Platform::HitTest::kClient);

    // Dragging the title moves the window by the pointer's travel.
    auto& display = LayoutWindow::Display();
    const Platform::Rect before = Platform::GetWindowRect(hwnd);
    display.movePointer(window.Screen({50, 10}));
    display.pressButton();
    PumpReady();
    display.movePointer({before.left + 50 + 30, before.top + 10 + 40});
    display.releaseButton();
    PumpReady();
    const Platform::Rect after = Platform::GetWindowRect(hwnd);
    EXPECT_EQ(after.left - before.left, 30);
    EXPECT_EQ(after.top - before.top, 40);
}

TEST(LayoutWindowTest, ClickingACheckBoxClicksThenChangesItsSelection) {
    Plain window(kDialog);
    window.Open();
    auto* agree = static_cast<CCheckBoxUI*>(window.Find(L"agree"));
    ASSERT_TRUE(agree->GetCheck());
    window.notes.clear();
    LayoutWindow::Display().click(window.Screen(Centre(agree)));
    PumpUntil([&] { return window.notes.size() >= 2; });
    EXPECT_FALSE(agree->GetCheck());
    std::vector<std::wstring> types;
    for (const Note& note : window.notes)
        if (note.sender == L"agree")
            types.push_back(note.type);
    EXPECT_EQ(types, (std::vector<std::wstring>{L"mouseenter", L"click", L"selectchanged"}));

    // Pressing, leaving and releasing elsewhere does not click.
    window.notes.clear();
    auto& display = LayoutWindow::Display();
    display.movePointer(window.Screen(Centre(window.Find(L"next"))));
    display.pressButton();
    display.movePointer(window.Screen({200, 290}));
    display.releaseButton();
    PumpReady();
    EXPECT_TRUE(window.NotesOf(L"click").empty());
    // Space on the focused button does.
    display.tapKey(Platform::Key::kSpace);
    PumpReady();
    EXPECT_EQ(window.NotesOf(L"click"), (std::vector<Note>{{L"click", L"next", 0, 0}}));
}

// Acts on the display from another thread once `window` has the keyboard focus, as a user would
// while the window runs modally.
class WhenFocused {
public:
    WhenFocused(Platform::WindowHandle window, std::function<void()> act)
        : m_Thread([window, act = std::move(act)] {
              auto& display = LayoutWindow::Display();
              const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
              while (display.focusedWindow() != window && std::chrono::steady_clock::now() < deadline)
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              act();
          }) {}
    ~WhenFocused() { m_Thread.join(); }

private:
    std::thread m_Thread;
};

TEST(LayoutWindowTest, EscapeClosesAPlainWindowWithOneAndNeverAnInstallerWindow) {
    Frame frame(kDialog);
    const Platform::WindowHandle frameWindow = frame.Open();
    LayoutWindow::Display().tapKey(Platform::Key::kEscape);
    PumpReady();
    EXPECT_TRUE(Platform::IsWindow(frameWindow));

    Plain plain(kDialog);
    const Platform::WindowHandle plainWindow =
        plain.Create(Platform::kNoWindow, L"plain", Platform::Style::kPopup, 0, {0, 0, 10, 10});
    unsigned result = 0;
    {
        WhenFocused press(plainWindow, [] { LayoutWindow::Display().tapKey(Platform::Key::kEscape); });
        result = plain.ShowModal();
    }
    EXPECT_EQ(result, 1u);
    EXPECT_FALSE(Platform::IsWindow(plainWindow));
}

TEST(LayoutWindowTest, AModalWindowDisablesItsOwnerAndReturnsTheCloseCode) {
    Plain owner(kDialog);
    const Platform::WindowHandle ownerWindow = owner.Open();
    const Point ownerButton = owner.Screen(Centre(owner.Find(L"next")));
    const wchar_t* const tip = LR"(<Window size="200,100"><VerticalLayout bkcolor="#FF000000"/></Window>)";
    Plain dialog(tip);
    const Platform::WindowHandle dialogWindow =
        dialog.Create(ownerWindow, L"tip", Platform::Style::kPopup, 0, {600, 600, 610, 610});
    unsigned result = 0;
    {
        // Input is taken in order: the click on the owner is over before Escape closes the dialog.
        WhenFocused act(dialogWindow, [&] {
            LayoutWindow::Display().click(ownerButton);
            LayoutWindow::Display().tapKey(Platform::Key::kEscape);
        });
        result = dialog.ShowModal();
    }
    EXPECT_EQ(result, 1u);
    PumpReady();
    EXPECT_TRUE(owner.NotesOf(L"click").empty());
    EXPECT_TRUE(Platform::IsWindowEnabled(ownerWindow));
    EXPECT_EQ(Platform::GetFocus(), ownerWindow);

    Frame coded(tip);
    const Platform::WindowHandle codedWindow =
        coded.Create(ownerWindow, L"tip", Platform::Style::kPopup, 0, {600, 600, 610, 610});
    {
        WhenFocused act(codedWindow, [&] { Platform::PostMessage(codedWindow, Platform::Msg::kClose, 7); });
        EXPECT_EQ(coded.ShowModal(), 7u);
    }

    // A quit message taken by the modal loop is left for the loop outside it.
    Frame second(LR"(<Window size="200,100"><VerticalLayout/></Window>)");
    second.Create(ownerWindow, L"tip", Platform::Style::kPopup, 0, {600, 600, 610, 610});
    Platform::PostQuitMessage(3);
    EXPECT_EQ(second.ShowModal(), 0u);
    Platform::Message message;
    EXPECT_FALSE(Platform::GetMessage(message));
    EXPECT_EQ(message.wParam, 3u);
}

TEST(LayoutWindowTest, NotificationsSynchronousAsynchronousAndFromOtherThreads) {
    Plain window(kDialog);
    window.Open();
    CWindowManagerUI& manager = window.GetManager();
    CControlUI* title = window.Find(L"title");
    CControlUI* next = window.Find(L"next");
    std::vector<std::wstring> order;
    title->AddNotifyListener([&](NotifyMsg& msg) { order.push_back(L"own:" + msg.sType); });
    struct Second : INotifyUI {
        std::vector<std::wstring>* order;
        void Notify(NotifyMsg& msg) override { order->push_back(L"second:" + msg.sType); }
    } second;
    second.order = &order;
    manager.AddNotifier(&second);
    window.notes.clear();

    // Synchronous: the sender's own listeners, then every notifier in order, at once.
    manager.SendNotify(title, L"ping");
    EXPECT_EQ(order, (std::vector<std::wstring>{L"own:ping", L"second:ping"}));
    EXPECT_EQ(window.notes.size(), 1u);

    // Asynchronous: queued until the loop runs; without repeats a queued message is updated instead.
    manager.SendNotify(next, L"progress", 1, 0, true, false);
    manager.SendNotify(title, L"progress", 5, 0, true, false);
    manager.SendNotify(next, L"progress", 2, 0, true, false);
    manager.SendNotify(next, L"tick", 1, 0, true, true);
    manager.SendNotify(next, L"tick", 2, 0, true, true);
    EXPECT_EQ(window.notes.size(), 1u);
    PumpReady();
    EXPECT_EQ(window.notes, (std::vector<Note>{{L"ping", L"title", 0, 0},
                                               {L"progress", L"next", 2, 0},
                                               {L"progress", L"title", 5, 0},
                                               {L"tick", L"next", 1, 0},
                                               {L"tick", L"next", 2, 0}}));

    // From another thread, in the order sent.
    window.notes.clear();
    std::thread sender([&] {
        for (int i = 0; i < 50; ++i)
            manager.SendNotify(title, L"network", static_cast<Platform::WParam>(i), 0, true, true);
    });
    sender.join();
    ASSERT_TRUE(PumpUntil([&] { return window.notes.size() >= 50; }));
    for (size_t i = 0; i < window.notes.size(); ++i)
        EXPECT_EQ(window.notes[i].wParam, i);
    manager.RemoveNotifier(&second);
}

TEST(LayoutWindowTest, TimersRunOncePerControlAndRestartAfterAKill) {
    Plain window(kDialog);
    window.Open();
    CWindowManagerUI& manager = window.GetManager();
    CControlUI* title = window.Find(L"title");
    CControlUI* next = window.Find(L"next");
    window.notes.clear();
    EXPECT_TRUE(manager.SetTimer(title, 10, 5));
    EXPECT_FALSE(manager.SetTimer(title, 10, 1000)); // running: nothing changes
    EXPECT_TRUE(manager.SetTimer(next, 10, 5));      // another control, the same number
    ASSERT_TRUE(PumpUntil([&] { return window.NotesOf(L"timer").size() >= 6; }));
    for (const Note& note : window.NotesOf(L"timer"))
        EXPECT_EQ(note.wParam, 10u);

    EXPECT_TRUE(manager.KillTimer(title, 10));
    EXPECT_FALSE(manager.KillTimer(title, 10));
    manager.KillTimer(next, 10);
    PumpReady();
    window.notes.clear();
    EXPECT_TRUE(manager.SetTimer(title, 10, 5)); // killed: restarts
    ASSERT_TRUE(PumpUntil([&] { return window.NotesOf(L"timer").size() >= 2; }));
    for (const Note& note : window.NotesOf(L"timer"))
        EXPECT_EQ(note.sender, L"title");
    manager.KillTimer(title);
}

TEST(LayoutWindowTest, SnapshotShowsColoursPicturesTextAndTheRoundedOutline) {
    Plain window(LR"(<Window size="200,120" roundcorner="20,20">
      <VerticalLayout bkcolor="#FF0000FF">
        <Control height="20" bkimage="file='res/common/opaque.png' dest='10,5,13,6'"/>
        <Label height="40" text="中文字" font="0" textcolor="#FFFFFFFF" align="center"/>
        <Progress name="bar" height="10" width="100" bkcolor="#FF000000" foreimage="color='#FF00FF00'" value="50"/>
        <Control bkcolor="#80FF0000"/>
      </VerticalLayout>
      <Font id="0" name="WenQuanYi Micro Hei" size="24"/>
    </Window>)");
    const Platform::WindowHandle hwnd = window.Open();
    auto snapshot = LayoutWindow::Display().snapshot(hwnd);
    ASSERT_NE(snapshot, nullptr);
    EXPECT_EQ(snapshot->pixel(0, 0), 0u) << "outside the rounded outline";
    EXPECT_EQ(snapshot->pixel(100, 2), 0xFF0000FFu);

    // The 3 x 1 picture drawn at its "dest" offsets, nothing around it.
    const auto* bar = static_cast<CProgressUI*>(window.Find(L"bar"));
    EXPECT_EQ(snapshot->pixel(9, 5), 0xFF0000FFu);
    EXPECT_NE(snapshot->pixel(10, 5), 0xFF0000FFu);
    EXPECT_NE(snapshot->pixel(12, 5), 0xFF0000FFu);
    EXPECT_EQ(snapshot->pixel(13, 5), 0xFF0000FFu);
    EXPECT_EQ(snapshot->pixel(10, 6), 0xFF0000FFu);

    // Chinese text: glyph pixels in the label's middle.
    int lit = 0;
    for (int y = 20; y < 60; ++y)
        for (int x = 50; x < 150; ++x)
            lit += snapshot->pixel(x, y) == 0xFFFFFFFFu;
    EXPECT_GT(lit, 30);

    // The bar's foreground covers half its width.
    const Platform::Rect barRect = bar->GetPos();
    EXPECT_EQ(barRect.width(), 100);
    EXPECT_EQ(bar->ForegroundRect(),
              (Platform::Rect{barRect.left, barRect.top, barRect.left + 50, barRect.bottom}));
    EXPECT_EQ(snapshot->pixel(barRect.left + 49, barRect.top + 5), 0xFF00FF00u);
    EXPECT_EQ(snapshot->pixel(barRect.left + 50, barRect.top + 5), 0xFF000000u);

    // Half-transparent red over blue.
    const std::uint32_t blended = snapshot->pixel(100, 100);
    EXPECT_EQ(blended >> 24, 0xFFu);
    EXPECT_NEAR(static_cast<int>((blended >> 16) & 0xFF), 128, 2);
    EXPECT_NEAR(static_cast<int>(blended & 0xFF), 127, 2);
}

TEST(LayoutWindowTest, AProgressBarOf520At50Covers260) {
    auto bar = std::make_unique<CProgressUI>();
    bar->SetPos({10, 0, 530, 8});
    bar->SetValue(50);
    EXPECT_EQ(bar->ForegroundRect(), (Platform::Rect{10, 0, 270, 8}));
    bar->SetValue(150);
    EXPECT_EQ(bar->ForegroundRect().width(), 520);
    bar->SetMaxValue(0); // a maximum not above the minimum counts as minimum + 1
    bar->SetValue(0);
    EXPECT_EQ(bar->ForegroundRect().width(), 0);
}

TEST(LayoutWindowDeathTest, ALayoutThatDoesNotLoadEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Plain window(L"<Window><Label text='x'/></Window>");
            window.Open();
        },
        testing::ExitedWithCode(1), "加载资源文件失败");
}

TEST(LayoutWindowTest, AnInstallerWindowWithTheShippedShadowAttributesCastsItsShadow) {
    Frame window(LR"(<Window size="200,100" roundcorner="4,4" showshadow="true" shadowsize="6"
        shadowsharpness="10" shadowdarkness="20" shadowposition="1,1" shadowcolor="#26003B76">
        <VerticalLayout bkcolor="#FFFFFFFF"/></Window>)");
    const Platform::WindowHandle hwnd = window.Open(Platform::kNoWindow, 300, 200);
    auto& display = LayoutWindow::Display();
    ASSERT_TRUE(PumpUntil([&] { return display.shadowRect(hwnd).has_value(); }));
    EXPECT_EQ(*display.shadowRect(hwnd), (Platform::Rect{295, 195, 507, 307}));

    Point origin;
    const auto picture = display.snapshotWithShadow(hwnd, origin);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(origin, (Point{295, 195}));
    EXPECT_EQ(picture->pixel(5 + 100, 5 + 50), 0xFFFFFFFFu);          // the window itself
    const std::uint32_t below = picture->pixel(5 + 100, 5 + 100 + 2); // under the bottom edge
    EXPECT_GT(below >> 24, 0u);
    EXPECT_EQ((below >> 16) & 0xFF, ((below >> 24) * 0x76) / 255) << std::hex << below; // red, premultiplied
    EXPECT_EQ(below & 0xFF, 0u);                                                        // no blue

    // The shadow follows the window and goes with it.
    Platform::MoveWindow(hwnd, {400, 300, 600, 400});
    EXPECT_EQ(display.shadowRect(hwnd)->left, 395);
    Platform::ShowWindow(hwnd, Platform::Show::kMinimize);
    EXPECT_FALSE(display.shadowRect(hwnd).has_value());
}

TEST(LayoutWindowTest, HidingTheFocusedControlOfABackgroundWindowLeavesTheKeyboardAlone) {
    Plain back(kDialog);
    back.Open(Platform::kNoWindow, 100, 100);
    back.Find(L"next")->SetFocus();
    Plain front(kDialog);
    const Platform::WindowHandle frontWindow = front.Open(Platform::kNoWindow, 600, 100);
    ASSERT_EQ(Platform::GetFocus(), frontWindow);
    back.Find(L"next")->SetVisible(false);
    EXPECT_EQ(back.GetManager().GetFocus(), nullptr);
    EXPECT_EQ(Platform::GetFocus(), frontWindow);
}

TEST(LayoutWindowTest, SystemButtonsMinimiseMaximiseAndRestore) {
    Plain window(LR"(<Window size="300,200"><HorizontalLayout bkcolor="#FFFFFFFF">
        <Button name="minbtn" width="30"/><Button name="maxbtn" width="30"/>
        <Button name="restorebtn" width="30" visible="false"/><Control/></HorizontalLayout></Window>)");
    const Platform::WindowHandle hwnd = window.Open(Platform::kNoWindow, 100, 100);
    auto click = [&](const wchar_t* name) {
        LayoutWindow::Display().click(window.Screen(Centre(window.Find(name))));
        PumpReady();
    };
    click(L"maxbtn");
    EXPECT_TRUE(Platform::IsZoomed(hwnd));
    EXPECT_EQ(Platform::GetWindowRect(hwnd), Platform::GetWorkArea());
    EXPECT_FALSE(window.Find(L"maxbtn")->IsVisible());
    EXPECT_TRUE(window.Find(L"restorebtn")->IsVisible());
    PumpReady(); // the new layout
    click(L"restorebtn");
    EXPECT_FALSE(Platform::IsZoomed(hwnd));
    EXPECT_EQ(Platform::GetWindowRect(hwnd), (Platform::Rect{100, 100, 400, 300}));
    EXPECT_TRUE(window.Find(L"maxbtn")->IsVisible());
    PumpReady();
    click(L"minbtn");
    EXPECT_TRUE(Platform::IsIconic(hwnd));
}

TEST(LayoutWindowTest, CentringOverTheOwnerOrTheWorkAreaStaysInsideTheWorkArea) {
    const wchar_t* const layout = LR"(<Window size="200,100"><VerticalLayout/></Window>)";
    Plain owner(LR"(<Window size="400,300"><VerticalLayout/></Window>)");
    const Platform::WindowHandle ownerWindow = owner.Open(Platform::kNoWindow, 100, 100);
    Plain tip(layout);
    tip.Create(ownerWindow, L"tip", Platform::Style::kPopup, 0, {0, 0, 10, 10});
    tip.CenterWindow();
    EXPECT_EQ(Platform::GetWindowRect(tip.GetHWND()), (Platform::Rect{200, 200, 400, 300}));

    // An owner near the screen's corner: the centred window is pushed back inside the work area.
    Platform::MoveWindow(ownerWindow, {-150, -120, 250, 180});
    tip.CenterWindow();
    EXPECT_EQ(Platform::GetWindowRect(tip.GetHWND()), (Platform::Rect{0, 0, 200, 100}));

    Plain alone(layout);
    alone.Create(Platform::kNoWindow, L"alone", Platform::Style::kPopup, 0, {0, 0, 10, 10});
    alone.CenterWindow();
    const Platform::Rect work = Platform::GetWorkArea();
    EXPECT_EQ(Platform::GetWindowRect(alone.GetHWND()),
              (Platform::Rect{work.width() / 2 - 100, work.height() / 2 - 50, work.width() / 2 + 100,
                              work.height() / 2 + 50}));
}
