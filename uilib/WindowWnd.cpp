#include "uilib/WindowWnd.h"

#include "uilib/WindowManagerUI.h"

#include <algorithm>

namespace UiLib {

CWindowWnd::~CWindowWnd() {
    // The window must not outlive the object that answers its messages.
    if (m_hWnd != Platform::kNoWindow)
        Platform::DestroyNativeWindow(m_hWnd);
}

WindowHandle CWindowWnd::Create(WindowHandle parent, const std::wstring& name, std::uint32_t style,
                                std::uint32_t exStyle, const Platform::Rect& rect) {
    Platform::WindowOptions options;
    options.className = GetWindowClassName();
    options.title = name;
    options.style = style;
    options.exStyle = exStyle;
    options.rect = rect;
    options.owner = parent;
    return Platform::CreateNativeWindow(options, *this);
}

LResult CWindowWnd::HandleWindowMessage(WindowHandle window, unsigned message, WParam wParam, LParam lParam) {
    // The first message (creation) arrives before Create has returned the handle.
    if (m_hWnd == Platform::kNoWindow && message != Platform::Msg::kNcDestroy)
        m_hWnd = window;
    if (message != Platform::Msg::kNcDestroy)
        return HandleMessage(message, wParam, lParam);
    const LResult result = HandleMessage(message, wParam, lParam);
    m_hWnd = Platform::kNoWindow;
    OnFinalMessage(window);
    return result;
}

LResult CWindowWnd::HandleMessage(unsigned message, WParam wParam, LParam lParam) {
    return Platform::DefWindowProc(m_hWnd, message, wParam, lParam);
}

unsigned CWindowWnd::ShowModal() {
    const WindowHandle window = m_hWnd;
    if (!Platform::IsWindow(window))
        return 0;
    const WindowHandle owner = Platform::GetOwner(window);
    Platform::ShowWindow(window, Platform::Show::kNormal);
    if (owner != Platform::kNoWindow)
        Platform::EnableWindow(owner, false);
    unsigned result = 0;
    bool quit = false;
    Platform::Message message;
    while (Platform::IsWindow(window)) {
        if (!Platform::GetMessage(message)) {
            quit = true;
            break;
        }
        if (message.window == window && message.message == Platform::Msg::kClose)
            result = static_cast<unsigned>(message.wParam);
        if (!CWindowManagerUI::TranslateMessage(message))
            Platform::DispatchMessage(message);
    }
    if (owner != Platform::kNoWindow) {
        Platform::EnableWindow(owner, true);
        Platform::SetFocus(owner);
    }
    // The quit message belongs to the loop outside this one.
    if (quit)
        Platform::PostQuitMessage(static_cast<int>(message.wParam));
    return result;
}

void CWindowWnd::Close(unsigned code) {
    PostMessage(Platform::Msg::kClose, code);
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
    Platform::ShowWindow(m_hWnd, show ? (takeFocus ? Platform::Show::kNormal : Platform::Show::kNoActivate)
                                      : Platform::Show::kHide);
}

void CWindowWnd::CenterWindow() {
    const Platform::Rect window = Platform::GetWindowRect(m_hWnd);
    const Platform::Rect work = Platform::GetWorkArea();
    const WindowHandle owner = Platform::GetOwner(m_hWnd);
    const Platform::Rect centre =
        owner != Platform::kNoWindow && !Platform::IsIconic(owner) ? Platform::GetWindowRect(owner) : work;
    int left = (centre.left + centre.right) / 2 - window.width() / 2;
    int top = (centre.top + centre.bottom) / 2 - window.height() / 2;
    left = std::max(work.left, std::min(left, work.right - window.width()));
    top = std::max(work.top, std::min(top, work.bottom - window.height()));
    Platform::MoveWindow(m_hWnd, {left, top, left + window.width(), top + window.height()});
}

void CWindowWnd::ResizeClient(int width, int height) {
    const Platform::Rect rect = Platform::GetWindowRect(m_hWnd);
    Platform::MoveWindow(m_hWnd, {rect.left, rect.top, rect.left + (width < 0 ? rect.width() : width),
                                  rect.top + (height < 0 ? rect.height() : height)});
}

LResult CWindowWnd::SendMessage(unsigned message, WParam wParam, LParam lParam) {
    return Platform::SendMessage(m_hWnd, message, wParam, lParam);
}

bool CWindowWnd::PostMessage(unsigned message, WParam wParam, LParam lParam) {
    return Platform::PostMessage(m_hWnd, message, wParam, lParam);
}

} // namespace UiLib
