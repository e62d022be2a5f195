#include "install/InstallSession.h"

#include "app/config/InstallerConfig.h"
#include "download/Downloader.h"
#include "install/InstallCodes.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// Records what the session shows; posted work runs when the test says so.
class RecordingView : public InstallView {
public:
    std::vector<int> percents;
    std::vector<std::wstring> progressTexts;
    std::vector<std::wstring> messages;
    std::vector<int> pages;
    std::vector<bool> attempts;
    int closes = 0;

    void ShowEvent(int32_t, double, const std::wstring&) override {}
    void ShowProgress(int percent, const std::wstring& text) override {
        percents.push_back(percent);
        progressTexts.push_back(text);
    }
    void ShowMessage(MessageBox, const std::wstring& caption, const std::wstring& text) override {
        messages.push_back(caption + L"|" + text);
    }
    EarlierInstallAnswer AskAboutEarlierInstall() override { return EarlierInstallAnswer::Closed; }
    DownloadFailedAnswer AskAfterDownloadFailure() override { return DownloadFailedAnswer::Closed; }
    void ShowPage(int page) override { pages.push_back(page); }
    void EnableInstallButton(bool) override {}
    void AttemptEnded(bool succeeded) override { attempts.push_back(succeeded); }
    void SetTimer(int, uint32_t) override {}
    void PumpMessages() override {}
    void Close() override { ++closes; }
};

struct SessionFixture {
    RecordingView view;
    std::vector<std::function<void()>> posted;
    CInstallSession session{view, [this](std::function<void()> work) { posted.push_back(std::move(work)); }};
};

} // namespace

TEST(InstallSession, ProgressSharesOfDownloadAndInstall) {
    SessionFixture f;
    f.session.OnInstallEvent(DL_CODE_PROGRESS, 0.5, L"");
    f.session.OnInstallEvent(IST_CODE_PROGRESS, 0.0, L"");
    EXPECT_EQ(f.view.percents, (std::vector<int>{35, 74}));
    EXPECT_EQ(f.view.progressTexts.back(), L"正在安装中:74%，请稍候...");
    for (int i = 0; i < 6; ++i)
        f.session.OnInstallEvent(IST_CODE_PROGRESS, 0.0, L"");
    EXPECT_EQ(f.view.percents.back(), 98); // 0.95 of the install share, however many events follow
    f.session.OnInstallEvent(IST_CODE_PROGRESS, 0.99, L""); // the package's own figure, when larger
    EXPECT_EQ(f.view.percents.back(), 99);
}

TEST(InstallSession, InstallFailureResetsTheBarOnlyFrom70) {
    for (auto [fraction, reset] : {std::pair{0.985, false}, std::pair{1.0, true}}) {
        SessionFixture f;
        f.session.OnInstallEvent(DL_CODE_PROGRESS, fraction, L""); // 68 or 70
        f.session.OnInstallEvent(IST_CODE_FAIL, 1000.0, L"disk full");
        EXPECT_EQ(f.view.messages, std::vector<std::wstring>{L"温馨提示|disk full"});
        EXPECT_EQ(f.view.percents.size(), reset ? 2u : 1u) << fraction;
        if (reset) {
            EXPECT_EQ(f.view.progressTexts.back(), L"正在安装中:0%，请稍候...");
        }
        EXPECT_EQ(f.view.pages.back(), CInstallSession::kWelcomePage);
        EXPECT_EQ(f.view.attempts, std::vector<bool>{false});
    }
    SessionFixture f;
    f.session.OnInstallEvent(IST_CODE_FAIL, 0.0, L"");
    EXPECT_EQ(f.view.messages, std::vector<std::wstring>{L"温馨提示|安装失败"});
}

TEST(InstallSession, PackageFactsAndMessages) {
    SessionFixture f;
    f.session.OnInstallEvent(IST_CODE_INSTPATH, 0.0, L"/opt/elsewhere");
    f.session.OnInstallEvent(IST_CODE_EXEPATH, 0.0, L"/opt/elsewhere/Tovaclip.exe");
    f.session.OnInstallEvent(IST_CODE_STARTUPSTYLE, 2.0, L"");
    f.session.OnInstallEvent(IST_CODE_TOPSHOW, 0.0, L"");
    f.session.OnInstallEvent(IST_CODE_MESSAGE, 0.0, L"hello");
    EXPECT_EQ(f.session.PostInstall().InstallDir, L"/opt/elsewhere");
    EXPECT_EQ(f.session.PostInstall().ProductExecutable, L"/opt/elsewhere/Tovaclip.exe");
    EXPECT_EQ(f.session.PostInstall().StartupStyle, 2);
    EXPECT_EQ(f.session.PostInstall().TopShowDelay, 0u);
    EXPECT_EQ(f.view.messages, std::vector<std::wstring>{L"消息|hello"});
}

TEST(InstallSession, UnusablePathsEndTheAttemptWithAMessage) {
    TestSupport::TempDir dir;
    TestSupport::WriteFile(dir.path() / "file", "x");
    SessionFixture f;
    f.session.Init();
    f.session.StartInstall(dir.wide() + L"/file/Tovaclip", true, true);
    EXPECT_EQ(f.view.messages, std::vector<std::wstring>{L"温馨提示|无效路径"});
    EXPECT_EQ(f.view.attempts, std::vector<bool>{false});
    EXPECT_FALSE(f.session.InstallStarted());
    EXPECT_TRUE(f.posted.empty());
}
