#include "ui/MainWnd.h"

#include "app/config/InstallerConfig.h"
#include "platform/FolderPicker.h"
#include "platform/Shell.h"
#include "platform/window/WindowSystem.h"
#include "ui/InstallerControls.h"
#include "ui/Language.h"
#include "ui/MessageBoxWnd.h"
#include "ui/SequenceLabelUI.h"
#include "uilib/SkinResources.h"
#include "uilib/WindowIcon.h"
#include "uilib/controls/CheckBoxUI.h"
#include "uilib/controls/ContainerUI.h"
#include "uilib/controls/LabelUI.h"
#include "uilib/controls/ProgressUI.h"
#include "uilib/controls/TabLayoutUI.h"
#include "utils/MessagePump.h"

#include <algorithm>
#include <filesystem>

namespace UiLib {

namespace {

constexpr int kIconResource = 145;
constexpr unsigned kBringToFrontTimer = 10;
constexpr unsigned kSelfCloseTimer = 11;
constexpr unsigned kAnimationTimer = 2100;
constexpr std::uint32_t kCaptionAndMaximise = 0x00C00000 | 0x00010000;
constexpr std::uint32_t kClipSiblingsAndChildren = 0x06000000;
constexpr const wchar_t* kProductName = L"Tovaclip";
constexpr const wchar_t* kFinishedBar = L"res\\mainWnd\\installPrg3.png";

// The background of the window for each page.
const wchar_t* PageBackground(int page) {
    switch (page) {
    case 1:
        return L"res\\mainWnd\\bg2.png";
    case 2:
        return L"res\\mainWnd\\bg3.png";
    case 3:
        return L"res\\mainWnd\\bg4.png";
    default:
        return L"res\\mainWnd\\bg1.png";
    }
}

} // namespace

CMainWnd::CMainWnd()
    : CUiFrame(FrameParams{ResourceType::ZipResource, 147, {}, L"MainWnd.xml", L"MainWnd"}) {}

CMainWnd::~CMainWnd() {
    // The pipeline's workers and the network check end before the window they post to.
    m_Session.reset();
}

template <typename Control> Control* CMainWnd::Find(const wchar_t* name, const wchar_t* kind) {
    CControlUI* control = m_PaintManager.FindControl(name);
    return control ? static_cast<Control*>(control->GetInterface(kind)) : nullptr;
}

bool CMainWnd::IsChecked(CCheckBoxUI* box) const {
    return box && box->GetCheck();
}

std::unique_ptr<CControlUI> CMainWnd::CreateControl(const std::wstring& className) {
    return CreateInstallerControl(className);
}

void CMainWnd::InitWindow() {
    CUiFrame::InitWindow();
    Platform::SetWindowStyle(m_hWnd, (Platform::GetWindowStyle(m_hWnd) & ~kCaptionAndMaximise) |
                                         kClipSiblingsAndChildren);
    SetWindowIconFromResource(m_hWnd, kIconResource);

    m_WinCtn = Find<CContainerUI>(L"winCtn", L"Container");
    m_TitleTab = Find<CTabLayoutUI>(L"titleTabLt", L"TabLayout");
    m_MainTab = Find<CTabLayoutUI>(L"mainTabLt", L"TabLayout");
    m_TitleGroup = m_PaintManager.FindControl(L"titleGrpCtn");
    m_BackBtn = m_PaintManager.FindControl(L"backBtn");
    m_TipLbl = m_PaintManager.FindControl(L"tipLbl");
    m_TreatyCb = Find<CCheckBoxUI>(L"treatyCb", L"CheckBox");
    m_TreatyBtn = Find<CCheckBoxUI>(L"treatyBtn", L"CheckBox");
    m_ServiceCb = Find<CCheckBoxUI>(L"serviceCb", L"CheckBox");
    m_DefaultInstallBtn = m_PaintManager.FindControl(L"defaultInstallBtn");
    m_CustomeBtn = m_PaintManager.FindControl(L"customeBtn");
    m_InstallDirEdit = m_PaintManager.FindControl(L"installDirEdit");
    m_CreateDSCb = Find<CCheckBoxUI>(L"createDSCb", L"CheckBox");
    m_CreateQSCb = Find<CCheckBoxUI>(L"createQSCb", L"CheckBox");
    m_CustomeInstallBtn = m_PaintManager.FindControl(L"customeInstallBtn");
    m_ProgressAnLb = m_PaintManager.FindControl(L"progressAnLb");
    m_ProgressLb = Find<CLabelUI>(L"progressLb", L"Label");
    m_InstallPrg = Find<CProgressUI>(L"installPrg", L"Progress");
    m_SoftNameLbl = Find<CLabelUI>(L"softNameLbl", L"Label");
    m_InstallLogo = m_PaintManager.FindControl(L"installLogo");
    m_FinishedLbl = m_PaintManager.FindControl(L"finishedLbl");

    for (const wchar_t* name : {L"softNameLbl", L"bTitleLbl1", L"bTitleLbl2", L"bTitleLbl3"}) {
        if (auto* label = Find<CLabelUI>(name, L"Label")) {
            const Platform::Font& font = m_PaintManager.GetFont(label->GetFont());
            label->SetFixedWidth(Platform::MeasureText(kProductName, font).width);
            label->SetText(kProductName);
        }
    }

    // Work for this thread arrives as a window message; the handle is taken now, so that the
    // pipeline's threads never read the window's fields.
    const WindowHandle window = m_hWnd;
    InstallView& view = *this;
    m_Session =
        std::make_unique<CInstallSession>(view, [window, posted = m_Posted](std::function<void()> work) {
            {
                std::lock_guard lock(posted->lock);
                posted->items.push_back(std::move(work));
            }
            Platform::PostMessage(window, kInstallEventMessage);
        });
    m_Session->Prepare();
    if (m_InstallDirEdit)
        m_InstallDirEdit->SetText(m_Session->DefaultDirectory());
    CenterWindow();
    // The language the earlier installation recorded is in place before the session asks about it.
    if (m_Session->HasEarlierInstall())
        ApplyLanguageFromInstall(m_PaintManager, m_Session->Earlier().InstallPath);
    m_Session->ActOnEarlierInstall();
}

LResult CMainWnd::HandleMessage(unsigned message, WParam wParam, LParam lParam) {
    // An installation in progress cannot be abandoned from the window.
    if (message == Platform::Msg::kClose && m_Session && !m_Session->CloseAllowed())
        return 0;
    if (message == kDownloaderStartMessage && m_Session)
        m_Session->OnDownloaderStartMessage();
    return CUiFrame::HandleMessage(message, wParam, lParam);
}

LResult CMainWnd::HandleCustomMessage(unsigned message, WParam wParam, LParam lParam, bool& handled) {
    if (message == kInstallEventMessage) {
        std::function<void()> work;
        {
            std::lock_guard lock(m_Posted->lock);
            if (m_Posted->items.empty())
                return 0;
            work = std::move(m_Posted->items.front());
            m_Posted->items.pop_front();
        }
        if (work)
            work();
        return 0;
    }
    return CUiFrame::HandleCustomMessage(message, wParam, lParam, handled);
}

void CMainWnd::Notify(NotifyMsg& msg) {
    CControlUI* root = m_PaintManager.GetRoot();
    if (msg.sType == L"tabselect") {
        OnPageShown();
    } else if (msg.sType == L"selectchanged") {
        OnSelectChanged(msg.pSender);
    } else if (msg.sType == L"timer" && msg.pSender == root && root) {
        if (msg.wParam == kBringToFrontTimer) {
            Platform::SetForegroundWindow(m_hWnd);
            m_PaintManager.KillTimer(root, kBringToFrontTimer);
        } else if (msg.wParam == kSelfCloseTimer) {
            Close();
            m_PaintManager.KillTimer(root, kSelfCloseTimer);
        }
    }
    CUiFrame::Notify(msg);
}

void CMainWnd::OnClick(NotifyMsg& msg) {
    const std::wstring& name = msg.pSender->GetName();
    if (name == L"defaultInstallBtn") {
        const bool agreed = !m_TreatyCb || m_TreatyCb->GetCheck();
        m_Session->InstallDefault(agreed);
        if (!agreed && m_TipLbl)
            m_TipLbl->SetVisible(true);
    } else if (name == L"customeBtn") {
        m_Session->OpenCustomPage();
        if (m_CustomeInstallBtn)
            m_CustomeInstallBtn->SetFocus();
    } else if (name == L"customeInstallBtn") {
        m_Session->InstallCustom(m_InstallDirEdit ? m_InstallDirEdit->GetText() : std::wstring(),
                                 IsChecked(m_CreateDSCb), IsChecked(m_CreateQSCb));
    } else if (name == L"chDirBtn") {
        if (std::optional<std::wstring> folder = Platform::PickFolder(L"选择一个文件夹");
            folder && m_InstallDirEdit)
            m_InstallDirEdit->SetText(*folder);
    } else if (name == L"backBtn") {
        m_Session->SelectPage(CInstallSession::kWelcomePage);
    } else if (name == L"treatyBtn") {
        // The agreement's address is not given: the row that shows it is hidden.
    } else if (name == L"openProduceBtn") {
        m_Session->OpenProduct();
    } else if (name == L"closebtn") {
        if (m_Session->Page() == CInstallSession::kFinishedPage ||
            CMessageBoxWnd::Show(m_hWnd, MessageBoxParams(kExitTipLayout)) == CMessageBoxWnd::kOk)
            Close();
    } else {
        CUiFrame::OnClick(msg);
    }
}

void CMainWnd::OnPageShown() {
    const int page = m_MainTab ? m_MainTab->GetCurSel() : -1;
    if (m_WinCtn) {
        m_WinCtn->SetBkImage(PageBackground(page));
        m_WinCtn->NeedUpdate();
    }
    if (m_TitleTab) {
        // Selecting the page already shown sends nothing, so this runs at most twice per change.
        if (page == 0 || page == 1)
            m_TitleTab->SelectItem(1);
        else if (page == 3)
            m_TitleTab->SelectItem(2);
        else if (page != 2)
            m_TitleTab->SelectItem(0);
    }
    auto* animation = m_ProgressAnLb
                          ? static_cast<CSequenceLabelUI*>(m_ProgressAnLb->GetInterface(L"SequenceLabel"))
                          : nullptr;
    if (page == 2 && animation)
        animation->Start();
    if (page == 3) {
        if (animation)
            m_PaintManager.KillTimer(animation, kAnimationTimer);
        if (auto* finished =
                m_FinishedLbl ? static_cast<CSequenceLabelUI*>(m_FinishedLbl->GetInterface(L"SequenceLabel"))
                              : nullptr)
            finished->Start();
    }
    if (m_TitleGroup)
        m_TitleGroup->SetVisible(page != 2);
    if (m_InstallLogo)
        m_InstallLogo->SetVisible(page == 2);
    if (m_BackBtn)
        m_BackBtn->SetVisible(page == 1);
}

void CMainWnd::OnSelectChanged(CControlUI* sender) {
    if (!sender)
        return;
    if (sender == m_TreatyCb) {
        if (m_TreatyBtn)
            m_TreatyBtn->SetCheck(m_TreatyCb->GetCheck());
        if (m_TreatyCb->GetCheck() && (!m_ServiceCb || m_ServiceCb->GetCheck())) {
            if (m_CustomeBtn)
                m_CustomeBtn->SetEnabled(true);
            if (m_TipLbl)
                m_TipLbl->SetVisible(false);
        } else if (m_CustomeBtn) {
            m_CustomeBtn->SetEnabled(false);
        }
    } else if (sender == m_ServiceCb) {
        const bool ticked = m_ServiceCb->GetCheck();
        if (m_DefaultInstallBtn)
            m_DefaultInstallBtn->SetEnabled(ticked);
        if (m_CustomeBtn)
            m_CustomeBtn->SetEnabled(ticked && IsChecked(m_TreatyCb));
    } else if (sender == m_TreatyBtn && m_TreatyCb) {
        m_TreatyBtn->SetCheck(m_TreatyCb->GetCheck());
    }
}

void CMainWnd::ShowEvent(int32_t code, double, const std::wstring&) {
    constexpr int32_t kInstallFinished = 2003;
    if (code != kInstallFinished)
        return;
    if (m_InstallPrg) {
        m_InstallPrg->SetValue(100);
        const std::wstring finishedBar = SkinResources::Process().ResourcePath() + kFinishedBar;
        std::wstring onDisk = finishedBar;
        std::replace(onDisk.begin(), onDisk.end(), L'\\', L'/');
        std::error_code error;
        if (std::filesystem::exists(std::filesystem::path(onDisk), error)) {
            m_InstallPrg->SetForeImage(finishedBar);
            m_InstallPrg->NeedUpdate();
        }
    }
    if (m_SoftNameLbl) {
        m_SoftNameLbl->SetText(kProductName);
        m_SoftNameLbl->SetVisible(true);
    }
}

void CMainWnd::ShowProgress(int percent, const std::wstring& text) {
    if (m_ProgressLb)
        m_ProgressLb->SetText(text);
    if (m_InstallPrg)
        m_InstallPrg->SetValue(percent);
}

void CMainWnd::ShowMessage(MessageBox box, const std::wstring& caption, const std::wstring& text) {
    const wchar_t* layout = box == MessageBox::Info ? kMessageBox1Layout : kMessageBox2Layout;
    CMessageBoxWnd::Show(m_hWnd, MessageBoxParams(layout), text, caption);
}

InstallView::EarlierInstallAnswer CMainWnd::AskAboutEarlierInstall() {
    switch (CMessageBoxWnd::Show(m_hWnd, MessageBoxParams(kInstalledPathTipLayout))) {
    case CMessageBoxWnd::kOk:
        return EarlierInstallAnswer::InstallLatest;
    case CMessageBoxWnd::kCancel:
        return EarlierInstallAnswer::OpenProduct;
    default:
        return EarlierInstallAnswer::Closed;
    }
}

InstallView::DownloadFailedAnswer CMainWnd::AskAfterDownloadFailure() {
    switch (CMessageBoxWnd::Show(m_hWnd, MessageBoxParams(kNetworkTipLayout))) {
    case CMessageBoxWnd::kOk:
        return DownloadFailedAnswer::Retry;
    case CMessageBoxWnd::kCancel:
        return DownloadFailedAnswer::Later;
    default:
        return DownloadFailedAnswer::Closed;
    }
}

void CMainWnd::ShowPage(int page) {
    if (m_MainTab)
        m_MainTab->SelectItem(page);
}

void CMainWnd::EnableInstallButton(bool enabled) {
    if (m_CustomeInstallBtn)
        m_CustomeInstallBtn->SetEnabled(enabled);
}

void CMainWnd::SetTimer(int id, uint32_t delay) {
    if (CControlUI* root = m_PaintManager.GetRoot())
        m_PaintManager.SetTimer(root, static_cast<unsigned>(id), delay);
}

void CMainWnd::PumpMessages() {
    Utils::PumpMessages(m_hWnd);
}

void CMainWnd::Close() {
    CWindowWnd::Close(1);
}

std::wstring CMainWnd::ProgressFormat() {
    return m_ProgressLb ? m_ProgressLb->GetUserData() : std::wstring();
}

std::wstring CMainWnd::InterfaceText(int id) {
    return m_PaintManager.GetMultiLanguageString(id);
}

} // namespace UiLib
