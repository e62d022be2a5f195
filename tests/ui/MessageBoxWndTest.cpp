#include "tests/support/TestSupport.h"

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/window/WindowSystem.h"
#include "ui/MessageBoxWnd.h"
#include "uilib/SkinResources.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>

using namespace UiLib;
using Platform::Point;
using Platform::Rect;
using Platform::WindowHandle;

namespace {

// The fixture layouts (tests/fixtures/message-skin), 300 × 150 each. QuestionWnd.xml: closebtn at
// the right end of the 30-pixel title bar, okBtn and cancelBtn side by side (150 wide) in the bottom
// 40 pixels. MessageWnd.xml: captionLbl "CAPTION" in the title bar, textLbl "TEXT" below, closebtn.
const std::wstring kQuestion = L"QuestionWnd.xml";
const std::wstring kMessage = L"MessageWnd.xml";
constexpr Point kOkAt{75, 130};
constexpr Point kCancelAt{225, 130};
constexpr Point kCloseAt{285, 15};

Platform::HeadlessDisplay& Display() {
    return Platform::HeadlessDisplay::Current();
}

FrameParams FixtureParams(const std::wstring& layout) {
    FrameParams params = MessageBoxParams(layout);
    params.resourceType = ResourceType::File;
    return params;
}

// Stands in for the main window: it owns the message windows, and runs a step of a test on the
// windows' thread when another thread asks it to (its queue is pumped by the modal loop).
class OwnerWnd : public CUiFrame {
public:
    static constexpr unsigned kRunStep = Platform::Msg::kUser + 1;
    static constexpr Rect kRect{200, 200, 600, 500};

    OwnerWnd()
        : CUiFrame(FrameParams{ResourceType::File,
                               0,
                               {},
                               LR"(<Window size="400,300"><VerticalLayout/></Window>)",
                               L"OwnerWnd"}) {
        Create(Platform::kNoWindow, L"owner", Platform::Style::kPopup, 0, kRect);
        ShowWindow();
    }

protected:
    LResult HandleCustomMessage(unsigned message, WParam, LParam lParam, bool& handled) override {
        if (message != kRunStep) {
            handled = false;
            return 0;
        }
        (*reinterpret_cast<std::function<void()>*>(lParam))();
        return 0;
    }
};

// Acts on the message window the owner waits for, as its user would: once a window other than the
// owner has the keyboard, `step` runs on the windows' thread with that window.
class WhileOpen {
public:
    WhileOpen(OwnerWnd& owner, std::function<void(WindowHandle box)> step)
        : m_Step([step = std::move(step)] {
              // The step may come before the window's first paint, which lays its controls out: a
              // click then would find no control.
              const WindowHandle box = Platform::GetFocus();
              Platform::UpdateWindow(box);
              step(box);
          }),
          m_Thread([this, owner = owner.GetHWND()] {
              const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
              auto opened = [owner] {
                  const WindowHandle focused = Display().focusedWindow();
                  return focused != Platform::kNoWindow && focused != owner;
              };
              while (!opened()) {
                  // No message window came up: leave nothing queued that points into this helper.
                  if (std::chrono::steady_clock::now() > deadline)
                      return;
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
              Platform::PostMessage(owner, OwnerWnd::kRunStep, 0, reinterpret_cast<LParam>(&m_Step));
          }) {}
    ~WhileOpen() { m_Thread.join(); }

private:
    std::function<void()> m_Step;
    std::thread m_Thread;
};

Point ScreenPoint(WindowHandle window, Point point) {
    return Platform::ClientToScreen(window, point);
}

class MessageBoxWndTest : public testing::Test {
protected:
    void SetUp() override {
        const auto folder = std::filesystem::path(TOVACLIP_SOURCE_DIR) / "tests/fixtures/message-skin";
        SkinResources::Process().SetResourcePath(folder.wstring());
    }
    OwnerWnd owner;
};

} // namespace

TEST(MessageBoxParamsTest, TheEmbeddedPackageAndTheLayoutNameUpToItsLastDot) {
    const struct {
        std::wstring layout;
        std::wstring windowClass;
    } cases[] = {
        {kExitTipLayout, L"ExitTipWnd"},         {kInstalledPathTipLayout, L"InstalledPathTipWnd"},
        {kNetworkTipLayout, L"NetworkTipWnd"},   {kMessageBox1Layout, L"MessageBox1Wnd"},
        {kMessageBox2Layout, L"MessageBox2Wnd"}, {L"Tip.v2.xml", L"Tip.v2"},
        {L"NoExtension", L"NoExtension"},
    };
    for (const auto& c : cases) {
        const FrameParams params = MessageBoxParams(c.layout);
        EXPECT_EQ(params.resourceType, ResourceType::ZipResource);
        EXPECT_EQ(params.resourceId, 147);
        EXPECT_TRUE(params.skinFolder.empty());
        EXPECT_EQ(params.layoutFile, c.layout);
        EXPECT_EQ(params.windowClassName, c.windowClass);
    }
}

TEST_F(MessageBoxWndTest, TheAnswerTellsHowTheWindowWasClosed) {
    const struct {
        const char* what;
        std::function<void(WindowHandle)> act;
        int answer;
    } cases[] = {
        {"okBtn", [](WindowHandle box) { Display().click(ScreenPoint(box, kOkAt)); }, 0},
        {"cancelBtn", [](WindowHandle box) { Display().click(ScreenPoint(box, kCancelAt)); }, 1},
        {"closebtn", [](WindowHandle box) { Display().click(ScreenPoint(box, kCloseAt)); }, 2},
        {"the frame's close (not a click)", [](WindowHandle box) { Display().requestClose(box); }, 1},
        // Had Escape closed the window, it would be gone with answer 1 before the click is taken.
        {"Escape, then okBtn",
         [](WindowHandle box) {
             Display().tapKey(Platform::Key::kEscape);
             Display().click(ScreenPoint(box, kOkAt));
         },
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WindowHandle box = Platform::kNoWindow;
        int answer = -1;
        {
            WhileOpen user(owner, [&](WindowHandle window) {
                box = window;
                c.act(window);
            });
            answer = CMessageBoxWnd::Show(owner.GetHWND(), FixtureParams(kQuestion));
        }
        EXPECT_EQ(answer, c.answer);
        EXPECT_NE(box, owner.GetHWND());
        EXPECT_FALSE(Platform::IsWindow(box));
    }
}

TEST_F(MessageBoxWndTest, RunsModallyOverItsOwnerCentredAtTheLayoutsSize) {
    bool ownerEnabled = true;
    WindowHandle boxOwner = Platform::kNoWindow;
    Rect rect;
    std::uint32_t style = 0;
    {
        WhileOpen user(owner, [&](WindowHandle box) {
            ownerEnabled = Platform::IsWindowEnabled(owner.GetHWND());
            boxOwner = Platform::GetOwner(box);
            rect = Platform::GetWindowRect(box);
            style = Platform::GetWindowStyle(box);
            Display().click(ScreenPoint(box, kCancelAt));
        });
        EXPECT_EQ(CMessageBoxWnd::Show(owner.GetHWND(), FixtureParams(kQuestion)), 1);
    }
    EXPECT_FALSE(ownerEnabled);
    EXPECT_EQ(boxOwner, owner.GetHWND());
    EXPECT_EQ(rect, (Rect{250, 275, 550, 425}));
    // Visible, clipping children and siblings, with sizing frame, system menu and minimise box but
    // neither caption nor maximise box.
    EXPECT_EQ(style, 0x160E0000u);
    EXPECT_TRUE(Platform::IsWindowEnabled(owner.GetHWND()));
    EXPECT_EQ(Platform::GetFocus(), owner.GetHWND());
}

TEST_F(MessageBoxWndTest, TheCallersTextAndCaptionGoWhereTheLayoutHasLabelsForThem) {
    const std::optional<std::wstring> none;
    const struct {
        const char* what;
        std::wstring layout;
        std::optional<std::wstring> text, caption;
        std::optional<std::wstring> shownText, shownCaption; // none: the layout has no such label
    } cases[] = {
        {"both", kMessage, L"第一行\r\n第二行", L"温馨提示", L"第一行\r\n第二行", L"温馨提示"},
        {"text only", kMessage, L"路径无效", none, L"路径无效", L"CAPTION"},
        {"neither", kMessage, none, none, L"TEXT", L"CAPTION"},
        {"question layout", kQuestion, L"ignored", L"ignored", none, none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CMessageBoxWnd box(FixtureParams(c.layout));
        std::optional<std::wstring> shownText, shownCaption;
        {
            WhileOpen user(owner, [&](WindowHandle window) {
                if (CControlUI* label = box.GetManager().FindControl(L"textLbl"))
                    shownText = label->GetText();
                if (CControlUI* label = box.GetManager().FindControl(L"captionLbl"))
                    shownCaption = label->GetText();
                Display().click(ScreenPoint(window, kCloseAt));
            });
            EXPECT_EQ(box.Run(owner.GetHWND(), c.text, c.caption), 2);
        }
        EXPECT_EQ(shownText, c.shownText);
        EXPECT_EQ(shownCaption, c.shownCaption);
    }
}
