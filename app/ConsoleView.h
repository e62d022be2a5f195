#pragma once

#include "app/EventLoop.h"
#include "install/InstallView.h"

// The silent mode's view: no window, every event, message and progress update printed as one line on
// standard output, questions answered as the unattended run needs, and the run ended with its outcome.
class ConsoleView : public InstallView {
public:
    static constexpr int kExitSuccess = 0;
    static constexpr int kExitFailure = 2;

    explicit ConsoleView(EventLoop& loop) : m_Loop(loop) {}

    bool Finished() const { return m_Finished; }

    void ShowEvent(int32_t code, double value, const std::wstring& text) override;
    void ShowProgress(int percent, const std::wstring& text) override;
    void ShowMessage(MessageBox box, const std::wstring& caption, const std::wstring& text) override;
    // The answer "安装最新版本": install over the earlier installation.
    EarlierInstallAnswer AskAboutEarlierInstall() override { return EarlierInstallAnswer::InstallLatest; }
    // Nobody is there to retry: the run ends.
    DownloadFailedAnswer AskAfterDownloadFailure() override { return DownloadFailedAnswer::Closed; }
    void ShowPage(int) override {}
    void EnableInstallButton(bool) override {}
    void AttemptEnded(bool succeeded) override;
    void SetTimer(int, uint32_t) override {}
    void PumpMessages() override {}
    void Close() override;

private:
    void finish(int exitCode);

    EventLoop& m_Loop;
    bool m_Finished{false};
};

// Runs one installation without a window; the process's exit code.
int RunSilentInstall();
