#include "ui/MainWnd.h"
#include "tests/uilib/LayoutWindow.h"
#include "uilib/controls/CheckBoxUI.h"
#include "uilib/controls/LabelUI.h"
#include "uilib/controls/ProgressUI.h"
#include "uilib/controls/TabLayoutUI.h"

#include <gtest/gtest.h>

using LayoutWindow::PumpReady;
using LayoutWindow::PumpUntil;
using namespace UiLib;

namespace {

constexpr std::uint32_t kMainWindowStyle = 0x10CF0000;

// The installer's main window as TovaclipSetup opens it, on the headless display.
class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(m_Window.Create(Platform::kNoWindow, L"Tovaclip", kMainWindowStyle, 0, {}),
                  Platform::kNoWindow);
        PumpUntil([] { return false; }, 50); // the first layout and paint
    }

    CControlUI* Find(const wchar_t* name) { return m_Window.GetManager().FindControl(name); }
    template <typename Control> Control* Find(const wchar_t* name, const wchar_t* kind) {
        CControlUI* control = Find(name);
        return control ? static_cast<Control*>(control->GetInterface(kind)) : nullptr;
    }
    void Click(const wchar_t* name) {
        const Platform::Rect& rect = Find(name)->GetPos();
        LayoutWindow::Display().click(Platform::ClientToScreen(
            m_Window.GetHWND(), {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}));
        PumpReady();
    }
    int Page() { return Find<CTabLayoutUI>(L"mainTabLt", L"TabLayout")->GetCurSel(); }

    CMainWnd m_Window;
};

} // namespace

TEST_F(MainWindowTest, OpensOnTheWelcomePageAtItsSizeAndTheDefaultDirectory) {
    const Platform::Rect rect = Platform::GetWindowRect(m_Window.GetHWND());
    EXPECT_EQ(rect.width(), 600);
    EXPECT_EQ(rect.height(), 400);
    EXPECT_EQ(Page(), 0);
    EXPECT_EQ(Find(L"installDirEdit")->GetText(), m_Window.Session().DefaultDirectory());
    EXPECT_FALSE(Find(L"installDirEdit")->GetText().empty());
    EXPECT_EQ(Find(L"winCtn")->GetBkImage(), L"res\\mainWnd\\bg1.png");
    EXPECT_TRUE(Find(L"titleGrpCtn")->IsVisible());
    EXPECT_FALSE(Find(L"backBtn")->IsVisible());
}

TEST_F(MainWindowTest, PagesChangeTheBackgroundTitleBarAndAnimation) {
    Click(L"customeBtn");
    EXPECT_EQ(Page(), 1);
    EXPECT_EQ(Find(L"winCtn")->GetBkImage(), L"res\\mainWnd\\bg2.png");
    EXPECT_TRUE(Find(L"backBtn")->IsVisible());
    EXPECT_EQ(Find<CTabLayoutUI>(L"titleTabLt", L"TabLayout")->GetCurSel(), 1);
    Click(L"backBtn");
    EXPECT_EQ(Page(), 0);

    CWindowManagerUI& manager = m_Window.GetManager();
    CControlUI* animation = Find(L"progressAnLb");
    m_Window.Session().SelectPage(2);
    EXPECT_EQ(Find(L"winCtn")->GetBkImage(), L"res\\mainWnd\\bg3.png");
    EXPECT_FALSE(Find(L"titleGrpCtn")->IsVisible());
    EXPECT_FALSE(manager.SetTimer(animation, 2100, 30)) << "the animation runs on the progress page";
    // The installation cannot be abandoned: the close request is swallowed.
    Platform::PostMessage(m_Window.GetHWND(), Platform::Msg::kClose, 1);
    PumpReady();
    EXPECT_TRUE(Platform::IsWindow(m_Window.GetHWND()));

    m_Window.Session().SelectPage(3);
    EXPECT_EQ(Find(L"winCtn")->GetBkImage(), L"res\\mainWnd\\bg4.png");
    EXPECT_EQ(Find<CTabLayoutUI>(L"titleTabLt", L"TabLayout")->GetCurSel(), 2);
    EXPECT_TRUE(Find(L"titleGrpCtn")->IsVisible());
    EXPECT_TRUE(manager.SetTimer(animation, 2100, 30)) << "the animation stops on the finished page";
    manager.KillTimer(animation, 2100);
}

TEST_F(MainWindowTest, ProgressTextAndBarFollowTheDownloadAndTheInstallation) {
    m_Window.Session().SelectPage(2);
    m_Window.Session().OnInstallEvent(1002, 0.5, L"");
    auto* text = Find<CLabelUI>(L"progressLb", L"Label");
    auto* bar = Find<CProgressUI>(L"installPrg", L"Progress");
    EXPECT_EQ(text->GetText(), L"正在安装中:35%，请稍候...");
    EXPECT_EQ(bar->GetValue(), 35);
    m_Window.Session().OnInstallEvent(2002, 0.0, L"");
    EXPECT_EQ(bar->GetValue(), 74);
}

TEST_F(MainWindowTest, WithoutTheAgreementTheInstallButtonOnlyShowsTheHint) {
    auto* treaty = Find<CCheckBoxUI>(L"treatyCb", L"CheckBox");
    ASSERT_TRUE(treaty->GetCheck());
    treaty->SetCheck(false);
    EXPECT_FALSE(Find(L"customeBtn")->IsEnabled());
    EXPECT_FALSE(Find<CCheckBoxUI>(L"treatyBtn", L"CheckBox")->GetCheck());
    EXPECT_FALSE(Find(L"tipLbl")->IsVisible());
    Click(L"defaultInstallBtn");
    EXPECT_TRUE(Find(L"tipLbl")->IsVisible());
    EXPECT_FALSE(m_Window.Session().InstallStarted());
    EXPECT_EQ(Page(), 0);

    treaty->SetCheck(true);
    EXPECT_TRUE(Find(L"customeBtn")->IsEnabled());
    EXPECT_FALSE(Find(L"tipLbl")->IsVisible());
}
