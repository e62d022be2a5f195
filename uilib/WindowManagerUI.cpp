#include "uilib/WindowManagerUI.h"

#include "platform/window/WindowSystem.h"
#include "uilib/Colour.h"
#include "uilib/NumberList.h"
#include "uilib/TextCase.h"

#include <algorithm>
#include <chrono>
#include <cwctype>
#include <utility>

namespace UiLib {

namespace {

// The managers of this thread's windows, for the loop's translation step.
std::vector<CWindowManagerUI*>& ThreadManagers() {
    thread_local std::vector<CWindowManagerUI*> managers;
    return managers;
}

std::uint32_t Milliseconds() {
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

} // namespace

CWindowManagerUI::CWindowManagerUI() {
    // The font configuration loads while the window's skin package is unpacked and its pictures
    // decoded, instead of in front of the first paint's first text.
    Platform::PrepareText();
}

CWindowManagerUI::~CWindowManagerUI() {
    // Controls tell the manager of their end while they go, so the tree goes first.
    m_Root.reset();
    for (const TimerRecord& timer : m_Timers)
        if (!timer.killed)
            Platform::KillTimer(m_Window, timer.localId);
    std::erase(ThreadManagers(), this);
}

void CWindowManagerUI::Init(Platform::WindowHandle window) {
    m_Window = window;
    if (std::find(ThreadManagers().begin(), ThreadManagers().end(), this) == ThreadManagers().end())
        ThreadManagers().push_back(this);
}

bool CWindowManagerUI::AttachDialog(std::unique_ptr<CControlUI> root) {
    if (!root)
        return false;
    m_Root.reset();
    m_Focus = m_Hot = m_Captured = nullptr;
    m_Names.clear();
    m_Root = std::move(root);
    InitControls(m_Root.get());
    m_FirstLayout = true;
    NeedUpdate();
    return true;
}

void CWindowManagerUI::EnterNames(CControlUI& root) {
    root.ForEach([this](CControlUI& control) {
        if (!control.GetName().empty())
            m_Names.emplace(control.GetName(), &control);
    });
}

void CWindowManagerUI::InitControls(CControlUI* control, CControlUI* parent) {
    if (!control)
        return;
    control->SetManager(this, parent ? parent : control->GetParent(), true);
    EnterNames(*control);
}

void CWindowManagerUI::ReapObjects(CControlUI* control) {
    if (m_Focus == control)
        m_Focus = nullptr;
    if (m_Hot == control)
        m_Hot = nullptr;
    if (m_Captured == control)
        m_Captured = nullptr;
    KillTimer(control);
    std::erase_if(m_Names, [control](const auto& entry) { return entry.second == control; });
    std::lock_guard lock(m_AsyncLock);
    std::erase_if(m_AsyncNotify, [control](const NotifyMsg& msg) { return msg.pSender == control; });
}

CControlUI* CWindowManagerUI::FindControl(const std::wstring& name) const {
    auto found = m_Names.find(name);
    return found == m_Names.end() ? nullptr : found->second;
}

CControlUI* CWindowManagerUI::FindControl(Point point) const {
    return m_Root ? m_Root->FindControlAt(point) : nullptr;
}

void CWindowManagerUI::AddNotifier(INotifyUI* notifier) {
    if (std::find(m_Notifiers.begin(), m_Notifiers.end(), notifier) == m_Notifiers.end())
        m_Notifiers.push_back(notifier);
}

void CWindowManagerUI::RemoveNotifier(INotifyUI* notifier) {
    std::erase(m_Notifiers, notifier);
}

void CWindowManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) {
    if (std::find(m_PreMessageFilters.begin(), m_PreMessageFilters.end(), filter) ==
        m_PreMessageFilters.end())
        m_PreMessageFilters.push_back(filter);
}

void CWindowManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
    std::erase(m_PreMessageFilters, filter);
}

void CWindowManagerUI::SendNotify(CControlUI* sender, const std::wstring& type, Platform::WParam wParam,
                                  Platform::LParam lParam, bool async, bool allowRepeat) {
    NotifyMsg msg;
    msg.sType = type;
    msg.pSender = sender;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg, async, allowRepeat);
}

void CWindowManagerUI::SendNotify(NotifyMsg& msg, bool async, bool allowRepeat) {
    msg.dwTimestamp = Milliseconds();
    if (!async) {
        Deliver(msg);
        return;
    }
    bool wake = false;
    {
        std::lock_guard lock(m_AsyncLock);
        auto queued =
            allowRepeat
                ? m_AsyncNotify.end()
                : std::find_if(m_AsyncNotify.begin(), m_AsyncNotify.end(), [&](const NotifyMsg& each) {
                      return each.pSender == msg.pSender && each.sType == msg.sType;
                  });
        if (queued != m_AsyncNotify.end()) {
            queued->wParam = msg.wParam;
            queued->lParam = msg.lParam;
            queued->dwTimestamp = msg.dwTimestamp;
        } else {
            m_AsyncNotify.push_back(msg);
            wake = !std::exchange(m_AsyncWakePending, true);
        }
    }
    if (wake)
        Platform::PostMessage(m_Window, kAsyncNotifyMessage);
}

void CWindowManagerUI::DeliverAsyncNotifications() {
    std::deque<NotifyMsg> queued;
    {
        std::lock_guard lock(m_AsyncLock);
        queued.swap(m_AsyncNotify);
        m_AsyncWakePending = false;
    }
    for (NotifyMsg& msg : queued)
        Deliver(msg);
}

void CWindowManagerUI::Deliver(NotifyMsg& msg) {
    msg.ptMouse = m_LastMouse;
    if (msg.pSender)
        msg.pSender->CallNotifyListeners(msg);
    // A listener may add or remove listeners while it runs.
    const std::vector<INotifyUI*> notifiers = m_Notifiers;
    for (INotifyUI* notifier : notifiers)
        if (std::find(m_Notifiers.begin(), m_Notifiers.end(), notifier) != m_Notifiers.end())
            notifier->Notify(msg);
}

bool CWindowManagerUI::SetTimer(CControlUI* control, unsigned timerId, unsigned milliseconds) {
    for (TimerRecord& timer : m_Timers) {
        if (timer.control == control && timer.timerId == timerId) {
            if (!timer.killed)
                return false;
            timer.killed = false;
            return Platform::SetTimer(m_Window, timer.localId, milliseconds);
        }
    }
    // Local numbers run 1 to 254 and wrap, skipping those still in use.
    unsigned localId = m_LastLocalTimerId;
    do {
        localId = (localId + 1) % 255;
    } while (localId == 0 ||
             std::any_of(m_Timers.begin(), m_Timers.end(),
                         [localId](const TimerRecord& timer) { return timer.localId == localId; }));
    if (!Platform::SetTimer(m_Window, localId, milliseconds))
        return false;
    m_LastLocalTimerId = localId;
    m_Timers.push_back({control, timerId, localId, false});
    return true;
}

bool CWindowManagerUI::KillTimer(CControlUI* control, unsigned timerId) {
    for (TimerRecord& timer : m_Timers) {
        if (timer.control == control && timer.timerId == timerId && !timer.killed) {
            Platform::KillTimer(m_Window, timer.localId);
            timer.killed = true;
            return true;
        }
    }
    return false;
}

void CWindowManagerUI::KillTimer(CControlUI* control) {
    std::erase_if(m_Timers, [this, control](const TimerRecord& timer) {
        if (timer.control != control)
            return false;
        if (!timer.killed)
            Platform::KillTimer(m_Window, timer.localId);
        return true;
    });
}

void CWindowManagerUI::OnTimer(unsigned localId) {
    for (const TimerRecord& timer : m_Timers) {
        if (timer.localId == localId && !timer.killed) {
            TEventUI event;
            event.Type = EventType::Timer;
            event.pSender = timer.control;
            event.wParam = timer.timerId;
            event.dwTimestamp = Milliseconds();
            event.ptMouse = m_LastMouse;
            timer.control->Event(event);
            return;
        }
    }
}

void CWindowManagerUI::SetFocus(CControlUI* control) {
    // Clearing a control's focus must not pull the keyboard to this window.
    if (control && Platform::GetFocus() != m_Window)
        Platform::SetFocus(m_Window);
    if (control == m_Focus)
        return;
    if (CControlUI* old = std::exchange(m_Focus, nullptr)) {
        TEventUI event;
        event.Type = EventType::KillFocus;
        event.pSender = control;
        event.dwTimestamp = Milliseconds();
        old->Event(event);
    }
    if (control && control->GetManager() == this && control->IsVisible() && control->IsEnabled()) {
        m_Focus = control;
        TEventUI event;
        event.Type = EventType::SetFocus;
        event.pSender = control;
        event.dwTimestamp = Milliseconds();
        control->Event(event);
    }
}

void CWindowManagerUI::SetCapture() {
    Platform::SetCapture(m_Window);
}

void CWindowManagerUI::ReleaseCapture() {
    if (IsCaptured())
        Platform::ReleaseCapture();
}

bool CWindowManagerUI::IsCaptured() const {
    return Platform::GetCapture() == m_Window && m_Window != Platform::kNoWindow;
}

void CWindowManagerUI::Invalidate(const Rect& rect) {
    Platform::InvalidateRect(m_Window, rect);
}

void CWindowManagerUI::NeedUpdate() {
    m_UpdateNeeded = true;
    Platform::InvalidateRect(m_Window);
}

void CWindowManagerUI::AddFont(int id, const Platform::Font& font, bool makeDefault) {
    m_Fonts[id] = font;
    if (makeDefault)
        m_DefaultFont = font;
}

const Platform::Font& CWindowManagerUI::GetFont(int id) const {
    auto found = m_Fonts.find(id);
    return found == m_Fonts.end() ? m_DefaultFont : found->second;
}

void CWindowManagerUI::AddDefaultAttributeList(const std::wstring& controlClass, const std::wstring& list) {
    m_DefaultAttributes[controlClass] = list;
}

std::wstring CWindowManagerUI::GetDefaultAttributeList(const std::wstring& controlClass) const {
    auto found = m_DefaultAttributes.find(controlClass);
    return found == m_DefaultAttributes.end() ? std::wstring() : found->second;
}

void CWindowManagerUI::AddMultiLanguageString(int id, const std::wstring& text) {
    m_MultiLanguage[id] = text;
}

std::wstring CWindowManagerUI::GetMultiLanguageString(int id) const {
    auto found = m_MultiLanguage.find(id);
    return found == m_MultiLanguage.end() ? std::wstring() : found->second;
}

void CWindowManagerUI::SetInitSize(int width, int height) {
    m_InitSize = {width, height};
    if (!m_Root && m_Window != Platform::kNoWindow) {
        const Rect rect = Platform::GetWindowRect(m_Window);
        Platform::MoveWindow(m_Window, {rect.left, rect.top, rect.left + width, rect.top + height});
    }
}

void CWindowManagerUI::SetWindowAttribute(const std::wstring& name, const std::wstring& value) {
    const std::wstring key = ToLower(name);
    if (key == L"size") {
        const Size size = ParseSize(value);
        SetInitSize(size.width, size.height);
    } else if (key == L"caption") {
        m_Caption = ParseRect(value);
    } else if (key == L"sizebox") {
        m_SizeBox = ParseRect(value);
    } else if (key == L"roundcorner") {
        m_RoundCorner = ParseSize(value);
    } else if (key == L"mininfo") {
        m_MinInfo = ParseSize(value);
    } else if (key == L"maxinfo") {
        m_MaxInfo = ParseSize(value);
    } else if (key == L"showdirty") {
        m_ShowDirty = ParseBool(value);
    } else if (key == L"noactivate") {
        m_NoActivate = ParseBool(value);
    } else if (key == L"opacity" || key == L"layeredopacity") {
        m_Opacity = ParseInt(value);
    } else if (key == L"disabledfontcolor") {
        m_DisabledColor = ParseColour(value);
    } else if (key == L"defaultfontcolor") {
        m_FontColor = ParseColour(value);
    } else if (key == L"linkfontcolor") {
        m_LinkFontColor = ParseColour(value);
    } else if (key == L"linkhoverfontcolor") {
        m_LinkHoverFontColor = ParseColour(value);
    } else if (key == L"selectedcolor") {
        m_SelectedBkColor = ParseColour(value);
    } else {
        m_CustomAttributes[name] = value;
    }
}

std::wstring CWindowManagerUI::GetWindowCustomAttribute(const std::wstring& name) const {
    auto found = m_CustomAttributes.find(name);
    return found == m_CustomAttributes.end() ? std::wstring() : found->second;
}

void CWindowManagerUI::Paint() {
    if (!m_Root) {
        Platform::EndPaint(m_Window, Platform::BeginPaint(m_Window));
        return;
    }
    const Rect client = Platform::GetClientRect(m_Window);
    if (m_UpdateNeeded && !client.isEmpty()) {
        m_UpdateNeeded = false;
        m_Root->SetPos(client);
        if (std::exchange(m_FirstLayout, false))
            SendNotify(m_Root.get(), L"windowinit");
        if (!Platform::IsWindow(m_Window) || !m_Root)
            return;
    }
    Platform::PaintScope scope = Platform::BeginPaint(m_Window);
    if (scope.surface && !scope.dirty.isEmpty()) {
        Platform::Canvas canvas(*scope.surface);
        canvas.clipRect(scope.dirty);
        canvas.clearRect(scope.dirty);
        m_Root->DoPaint(canvas, scope.dirty);
    }
    Platform::EndPaint(m_Window, scope);
}

void CWindowManagerUI::SetHot(CControlUI* control, Point point, Platform::WParam wParam,
                              Platform::LParam lParam) {
    if (control == m_Hot)
        return;
    TEventUI event;
    event.ptMouse = point;
    event.wParam = wParam;
    event.lParam = lParam;
    event.dwTimestamp = Milliseconds();
    if (CControlUI* left = std::exchange(m_Hot, nullptr)) {
        event.Type = EventType::MouseLeave;
        event.pSender = left;
        left->Event(event);
    }
    if (control) {
        m_Hot = control;
        event.Type = EventType::MouseEnter;
        event.pSender = control;
        control->Event(event);
    }
}

void CWindowManagerUI::OnMouse(unsigned message, Platform::WParam wParam, Platform::LParam lParam) {
    using namespace Platform;
    const Point point =
        message == Msg::kMouseWheel ? ScreenToClient(m_Window, UnpackPoint(lParam)) : UnpackPoint(lParam);
    m_LastMouse = point;
    TEventUI event;
    event.ptMouse = point;
    event.wParam = wParam;
    event.lParam = lParam;
    event.wKeyState = static_cast<unsigned>(wParam);
    event.dwTimestamp = Milliseconds();
    switch (message) {
    case Msg::kMouseMove: {
        CControlUI* under = FindControl(point);
        SetHot(under, point, wParam, lParam);
        event.Type = EventType::SetCursor;
        if (under)
            under->Event(event);
        else
            Platform::SetCursor(m_Window, Cursor::Arrow);
        CControlUI* target = m_Captured ? m_Captured : m_Hot;
        if (target) {
            event.Type = EventType::MouseMove;
            event.pSender = target;
            target->Event(event);
        }
        return;
    }
    case Msg::kLButtonDown:
    case Msg::kLButtonDblClk: {
        CControlUI* control = FindControl(point);
        if (!control)
            return;
        m_Captured = control;
        control->SetFocus();
        SetCapture();
        event.Type = message == Msg::kLButtonDown ? EventType::ButtonDown : EventType::DoubleClick;
        event.pSender = control;
        control->Event(event);
        return;
    }
    case Msg::kLButtonUp: {
        CControlUI* control = std::exchange(m_Captured, nullptr);
        ReleaseCapture();
        if (!control)
            return;
        event.Type = EventType::ButtonUp;
        event.pSender = control;
        control->Event(event);
        return;
    }
    case Msg::kMouseWheel:
        if (CControlUI* control = FindControl(point)) {
            event.Type = EventType::ScrollWheel;
            event.pSender = control;
            control->Event(event);
        }
        return;
    case Msg::kMouseLeave:
        if (!m_Captured)
            SetHot(nullptr, m_LastMouse, 0, 0);
        return;
    default:
        return;
    }
}

void CWindowManagerUI::OnKey(unsigned message, Platform::WParam wParam) {
    if (!m_Focus)
        return;
    TEventUI event;
    event.Type = message == Platform::Msg::kKeyDown ? EventType::KeyDown
                 : message == Platform::Msg::kKeyUp ? EventType::KeyUp
                                                    : EventType::Char;
    event.pSender = m_Focus;
    event.chKey = static_cast<wchar_t>(wParam);
    event.wParam = wParam;
    event.ptMouse = m_LastMouse;
    event.dwTimestamp = Milliseconds();
    m_Focus->Event(event);
}

bool CWindowManagerUI::MessageHandler(unsigned message, Platform::WParam wParam, Platform::LParam lParam,
                                      Platform::LResult& result) {
    using namespace Platform;
    result = 0;
    if (m_Window == kNoWindow)
        return false;
    switch (message) {
    case kAsyncNotifyMessage:
        DeliverAsyncNotifications();
        return true;
    case Msg::kPaint:
        Paint();
        return true;
    case Msg::kSize:
        if (m_Root)
            NeedUpdate();
        return false;
    case Msg::kTimer:
        OnTimer(static_cast<unsigned>(wParam));
        return true;
    case Msg::kMouseMove:
    case Msg::kLButtonDown:
    case Msg::kLButtonDblClk:
    case Msg::kLButtonUp:
    case Msg::kMouseWheel:
    case Msg::kMouseLeave:
        OnMouse(message, wParam, lParam);
        return true;
    case Msg::kCaptureChanged:
        // The capture went elsewhere (a disabled window, a move by the system): the press is over.
        if (CControlUI* control = std::exchange(m_Captured, nullptr)) {
            TEventUI event;
            event.Type = EventType::ButtonUp;
            event.pSender = control;
            event.ptMouse = {-1, -1};
            control->Event(event);
        }
        return false;
    case Msg::kKeyDown:
    case Msg::kKeyUp:
    case Msg::kChar:
        OnKey(message, wParam);
        return m_Focus != nullptr;
    default:
        return false;
    }
}

bool CWindowManagerUI::PreMessageHandler(unsigned message, Platform::WParam wParam, Platform::LParam lParam,
                                         Platform::LResult& result) {
    const std::vector<IMessageFilterUI*> filters = m_PreMessageFilters;
    for (IMessageFilterUI* filter : filters) {
        bool handled = false;
        const Platform::LResult answer = filter->MessageHandler(message, wParam, lParam, handled);
        if (handled) {
            result = answer;
            return true;
        }
    }
    return false;
}

bool CWindowManagerUI::TranslateMessage(const Platform::Message& message) {
    for (CWindowManagerUI* manager : ThreadManagers()) {
        if (manager->m_Window == message.window && message.window != Platform::kNoWindow) {
            Platform::LResult result = 0;
            return manager->PreMessageHandler(message.message, message.wParam, message.lParam, result);
        }
    }
    return false;
}

int CWindowManagerUI::MessageLoop() {
    Platform::Message message;
    while (Platform::GetMessage(message)) {
        if (!TranslateMessage(message))
            Platform::DispatchMessage(message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace UiLib
