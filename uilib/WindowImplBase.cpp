#include "uilib/WindowImplBase.h"

#include "platform/KnownFolders.h"
#include "platform/Resources.h"
#include "platform/TextCodec.h"
#include "uilib/SkinResources.h"
#include "uilib/TextCase.h"

#include <cstdio>
#include <cstdlib>
#include <cwctype>

namespace UiLib {

using namespace Platform;

namespace {

constexpr std::uint32_t kFrameBits = Style::kCaption | Style::kBorder;

bool IsPressable(const std::wstring& controlClass) {
    const std::wstring lower = ToLower(controlClass);
    return lower == L"button" || lower == L"option" || lower == L"text";
}

} // namespace

WindowImplBase::~WindowImplBase() {
    if (m_hWnd != kNoWindow)
        DestroyNativeWindow(m_hWnd);
}

unsigned WindowImplBase::GetClassStyle() const {
    constexpr unsigned kDoubleClicks = 0x0008;
    return kDoubleClicks;
}

std::uint32_t WindowImplBase::GetStyle() const {
    return GetWindowStyle(m_hWnd) & ~kFrameBits;
}

std::unique_ptr<CControlUI> WindowImplBase::CreateControl(const std::wstring&) {
    return nullptr;
}

void WindowImplBase::OnFinalMessage(WindowHandle) {
    m_PaintManager.RemovePreMessageFilter(this);
    m_PaintManager.RemoveNotifier(this);
}

void WindowImplBase::Notify(NotifyMsg& msg) {
    if (msg.sType == L"click" && msg.pSender)
        OnClick(msg);
}

void WindowImplBase::OnClick(NotifyMsg& msg) {
    const std::wstring& name = msg.pSender->GetName();
    if (name == L"closebtn")
        Close(1);
    else if (name == L"minbtn")
        SendMessage(Msg::kSysCommand, SysCommand::kMinimize);
    else if (name == L"maxbtn")
        SendMessage(Msg::kSysCommand, SysCommand::kMaximize);
    else if (name == L"restorebtn")
        SendMessage(Msg::kSysCommand, SysCommand::kRestore);
}

LResult WindowImplBase::ResponseDefaultKeyEvent(WParam key) {
    if (key == Key::kEscape) {
        Close(1);
        return 1;
    }
    return 0;
}

LResult WindowImplBase::MessageHandler(unsigned message, WParam wParam, LParam, bool&) {
    if (message == Msg::kKeyDown && (wParam == Key::kReturn || wParam == Key::kEscape))
        return ResponseDefaultKeyEvent(wParam);
    return 0;
}

LResult WindowImplBase::OnClose(unsigned, WParam, LParam, bool& handled) {
    handled = false;
    return 0;
}

LResult WindowImplBase::OnDestroy(unsigned, WParam, LParam, bool& handled) {
    handled = false;
    return 0;
}

LResult WindowImplBase::OnNcActivate(unsigned, WParam wParam, LParam, bool& handled) {
    if (IsIconic(m_hWnd))
        handled = false;
    return wParam == 0 ? 1 : 0;
}

LResult WindowImplBase::OnNcCalcSize(unsigned, WParam, LParam, bool&) {
    return 0;
}

LResult WindowImplBase::OnNcPaint(unsigned, WParam, LParam, bool&) {
    return 0;
}

LResult WindowImplBase::OnNcHitTest(unsigned, WParam, LParam lParam, bool&) {
    const Point point = ScreenToClient(m_hWnd, UnpackPoint(lParam));
    const Rect client = GetClientRect(m_hWnd);
    if (!IsZoomed(m_hWnd)) {
        const Rect& box = m_PaintManager.GetSizeBox();
        if (point.y < client.top + box.top) {
            if (point.x < client.left + box.left)
                return HitTest::kTopLeft;
            if (point.x > client.right - box.right)
                return HitTest::kTopRight;
            return HitTest::kTop;
        }
        if (point.y > client.bottom - box.bottom) {
            if (point.x < client.left + box.left)
                return HitTest::kBottomLeft;
            if (point.x > client.right - box.right)
                return HitTest::kBottomRight;
            return HitTest::kBottom;
        }
        if (point.x < client.left + box.left)
            return HitTest::kLeft;
        if (point.x > client.right - box.right)
            return HitTest::kRight;
    }
    const Rect& caption = m_PaintManager.GetCaptionRect();
    if (point.x >= client.left + caption.left && point.x < client.right - caption.right &&
        point.y >= caption.top && point.y < caption.bottom) {
        CControlUI* control = m_PaintManager.FindControl(point);
        if (control && !IsPressable(control->GetClass()))
            return HitTest::kCaption;
    }
    return HitTest::kClient;
}

LResult WindowImplBase::OnGetMinMaxInfo(unsigned, WParam, LParam, bool& handled) {
    // Maximising takes the work area and sizing is the window's own; nothing to tell the system.
    handled = false;
    return 0;
}

LResult WindowImplBase::OnMouseWheel(unsigned, WParam, LParam, bool& handled) {
    handled = false;
    return 0;
}

LResult WindowImplBase::OnMouseHover(unsigned, WParam, LParam, bool& handled) {
    handled = false;
    return 0;
}

LResult WindowImplBase::OnSize(unsigned, WParam wParam, LParam lParam, bool& handled) {
    const Size round = m_PaintManager.GetRoundCorner();
    if (wParam != SizeKind::kMinimized && (round.width != 0 || round.height != 0)) {
        const Point size = UnpackPoint(lParam);
        SetWindowRegion(m_hWnd, WindowRegion{{size.x + 1, size.y + 1}, round.width, round.height});
    }
    handled = false;
    return 0;
}

LResult WindowImplBase::OnChar(unsigned, WParam, LParam, bool& handled) {
    handled = false;
    return 0;
}

LResult WindowImplBase::OnSysCommand(unsigned message, WParam wParam, LParam lParam, bool&) {
    if ((wParam & 0xFFF0) == SysCommand::kClose) {
        PostMessage(Msg::kClose);
        return 0;
    }
    const bool wasZoomed = IsZoomed(m_hWnd);
    const LResult result = DefWindowProc(m_hWnd, message, wParam, lParam);
    const bool zoomed = IsZoomed(m_hWnd);
    if (wasZoomed != zoomed) {
        if (CControlUI* maximise = m_PaintManager.FindControl(L"maxbtn"))
            maximise->SetVisible(!zoomed);
        if (CControlUI* restore = m_PaintManager.FindControl(L"restorebtn"))
            restore->SetVisible(zoomed);
    }
    return result;
}

LResult WindowImplBase::OnCreate(unsigned, WParam, LParam, bool&) {
    SetWindowStyle(m_hWnd,
                   (GetWindowStyle(m_hWnd) & ~kFrameBits) | Style::kClipChildren | Style::kClipSiblings);
    m_PaintManager.Init(m_hWnd);
    m_PaintManager.AddPreMessageFilter(this);

    SkinResources& resources = SkinResources::Process();
    if (resources.ResourcePath().empty())
        resources.SetResourcePath(ExecutableDir() + L"/" + GetSkinFolder());
    const ResourceType type = GetResourceType();
    if (type == ResourceType::ZipFile) {
        resources.SetArchiveFile(GetZIPFileName(), true);
    } else if (type == ResourceType::ZipResource) {
        const std::span<const uint8_t> package = FindResource(GetResourceID(), "ZIPRES");
        // Without its package the window stays empty.
        if (package.empty())
            return 0;
        resources.SetMemoryArchive(package);
    }

    CLayoutBuilder builder;
    std::unique_ptr<CControlUI> root = type == ResourceType::Resource
                                           ? builder.Create(GetSkinFile(), L"xml", this, &m_PaintManager)
                                           : builder.Create(GetSkinFile(), {}, this, &m_PaintManager);
    if (!root)
        LayoutFailed(builder);
    m_PaintManager.AttachDialog(std::move(root));
    m_PaintManager.AddNotifier(this);
    InitWindow();
    return 0;
}

void WindowImplBase::LayoutFailed(const CLayoutBuilder& builder) {
    std::fprintf(stderr, "UiLib: 加载资源文件失败\n");
    if (!builder.ErrorMessage().empty())
        std::fprintf(stderr, "%s: %s\n", ToUtf8(builder.ErrorMessage()).c_str(),
                     ToUtf8(builder.ErrorLocation()).c_str());
    std::exit(1);
}

LResult WindowImplBase::OnKeyDown(unsigned, WParam, LParam, bool& handled) {
    handled = false;
    return 0;
}

LResult WindowImplBase::OnKillFocus(unsigned, WParam, LParam, bool& handled) {
    handled = false;
    return 0;
}

LResult WindowImplBase::OnSetFocus(unsigned, WParam, LParam, bool& handled) {
    handled = false;
    return 0;
}

LResult WindowImplBase::OnLButtonDown(unsigned, WParam, LParam, bool& handled) {
    handled = false;
    return 0;
}

LResult WindowImplBase::OnLButtonUp(unsigned, WParam, LParam, bool& handled) {
    handled = false;
    return 0;
}

LResult WindowImplBase::OnMouseMove(unsigned, WParam, LParam, bool& handled) {
    handled = false;
    return 0;
}

LResult WindowImplBase::HandleCustomMessage(unsigned, WParam, LParam, bool& handled) {
    handled = false;
    return 0;
}

LResult WindowImplBase::HandleMessage(unsigned message, WParam wParam, LParam lParam) {
    using Handler = LResult (WindowImplBase::*)(unsigned, WParam, LParam, bool&);
    Handler handler = nullptr;
    switch (message) {
    case Msg::kCreate:
        handler = &WindowImplBase::OnCreate;
        break;
    case Msg::kClose:
        handler = &WindowImplBase::OnClose;
        break;
    case Msg::kDestroy:
        handler = &WindowImplBase::OnDestroy;
        break;
    case Msg::kNcActivate:
        handler = &WindowImplBase::OnNcActivate;
        break;
    case Msg::kNcCalcSize:
        handler = &WindowImplBase::OnNcCalcSize;
        break;
    case Msg::kNcPaint:
        handler = &WindowImplBase::OnNcPaint;
        break;
    case Msg::kNcHitTest:
        handler = &WindowImplBase::OnNcHitTest;
        break;
    case Msg::kGetMinMaxInfo:
        handler = &WindowImplBase::OnGetMinMaxInfo;
        break;
    case Msg::kMouseWheel:
        handler = &WindowImplBase::OnMouseWheel;
        break;
    case Msg::kMouseHover:
        handler = &WindowImplBase::OnMouseHover;
        break;
    case Msg::kSize:
        handler = &WindowImplBase::OnSize;
        break;
    case Msg::kChar:
        handler = &WindowImplBase::OnChar;
        break;
    case Msg::kSysCommand:
        handler = &WindowImplBase::OnSysCommand;
        break;
    case Msg::kKeyDown:
        handler = &WindowImplBase::OnKeyDown;
        break;
    case Msg::kKillFocus:
        handler = &WindowImplBase::OnKillFocus;
        break;
    case Msg::kSetFocus:
        handler = &WindowImplBase::OnSetFocus;
        break;
    case Msg::kLButtonDown:
        handler = &WindowImplBase::OnLButtonDown;
        break;
    case Msg::kLButtonUp:
        handler = &WindowImplBase::OnLButtonUp;
        break;
    case Msg::kMouseMove:
        handler = &WindowImplBase::OnMouseMove;
        break;
    default:
        break;
    }
    bool handled = true;
    if (handler) {
        const LResult result = (this->*handler)(message, wParam, lParam, handled);
        if (handled)
            return result;
    }
    handled = true;
    const LResult custom = HandleCustomMessage(message, wParam, lParam, handled);
    if (handled)
        return custom;
    LResult result = 0;
    if (m_PaintManager.MessageHandler(message, wParam, lParam, result))
        return result;
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

} // namespace UiLib
