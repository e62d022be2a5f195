#pragma once

#include "install/InstallSession.h"
#include "install/InstallView.h"
#include "uilib/UiFrame.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace UiLib {

class CButtonUI;
class CCheckBoxUI;
class CContainerUI;
class CLabelUI;
class CProgressUI;
class CTabLayoutUI;

// The installer's main window: four pages (welcome, custom directory, progress, finished) in one tab
// layout, showing one installer session. The session decides; the window shows what it is told and
// hands the user's clicks to it.
class CMainWnd : public CUiFrame, private InstallView {
public:
    // The message that brings work posted to the window's thread (the pipeline's events, the network
    // check's answer) to it: one message for each piece, in posting order.
    static constexpr unsigned kInstallEventMessage = Platform::Msg::kUser + 1000;
    // Another program telling that the downloader has started.
    static constexpr unsigned kDownloaderStartMessage = Platform::Msg::kUser + 200;

    CMainWnd();
    ~CMainWnd() override;

    CInstallSession& Session() { return *m_Session; }

    void Notify(NotifyMsg& msg) override;
    std::unique_ptr<CControlUI> CreateControl(const std::wstring& className) override;

protected:
    void InitWindow() override;
    LResult HandleMessage(unsigned message, WParam wParam, LParam lParam) override;
    LResult HandleCustomMessage(unsigned message, WParam wParam, LParam lParam, bool& handled) override;

    void OnClick(NotifyMsg& msg) override;

private:
    void OnPageShown();
    void OnSelectChanged(CControlUI* sender);
    void Post(std::function<void()> work);
    template <typename Control> Control* Find(const wchar_t* name, const wchar_t* kind);
    bool IsChecked(CCheckBoxUI* box) const;

    // What the session shows.
    void ShowEvent(int32_t code, double value, const std::wstring& text) override;
    void ShowProgress(int percent, const std::wstring& text) override;
    void ShowMessage(MessageBox box, const std::wstring& caption, const std::wstring& text) override;
    EarlierInstallAnswer AskAboutEarlierInstall() override;
    DownloadFailedAnswer AskAfterDownloadFailure() override;
    void ShowPage(int page) override;
    void EnableInstallButton(bool enabled) override;
    void AttemptEnded(bool) override {}
    void SetTimer(int id, uint32_t delay) override;
    void PumpMessages() override;
    void Close() override;
    std::wstring ProgressFormat() override;
    std::wstring InterfaceText(int id) override;

    // Work posted from any thread, waiting for its message. Shared with the session's poster, so
    // that work left when the window is gone is freed with the last holder.
    struct PostedWork {
        std::mutex lock;
        std::deque<std::function<void()>> items;
    };
    std::shared_ptr<PostedWork> m_Posted = std::make_shared<PostedWork>();
    std::unique_ptr<CInstallSession> m_Session;
    CContainerUI* m_WinCtn = nullptr;
    CTabLayoutUI* m_TitleTab = nullptr;
    CTabLayoutUI* m_MainTab = nullptr;
    CControlUI* m_TitleGroup = nullptr;
    CControlUI* m_BackBtn = nullptr;
    CControlUI* m_TipLbl = nullptr;
    CCheckBoxUI* m_TreatyCb = nullptr;
    CCheckBoxUI* m_TreatyBtn = nullptr;
    CCheckBoxUI* m_ServiceCb = nullptr;
    CControlUI* m_DefaultInstallBtn = nullptr;
    CControlUI* m_CustomeBtn = nullptr;
    CControlUI* m_InstallDirEdit = nullptr;
    CCheckBoxUI* m_CreateDSCb = nullptr;
    CCheckBoxUI* m_CreateQSCb = nullptr;
    CControlUI* m_CustomeInstallBtn = nullptr;
    CControlUI* m_ProgressAnLb = nullptr;
    CLabelUI* m_ProgressLb = nullptr;
    CProgressUI* m_InstallPrg = nullptr;
    CLabelUI* m_SoftNameLbl = nullptr;
    CControlUI* m_InstallLogo = nullptr;
    CControlUI* m_FinishedLbl = nullptr;
};

} // namespace UiLib
