#pragma once

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/window/WindowSystem.h"
#include "tests/uilib/SkinFixture.h"
#include "uilib/SkinResources.h"
#include "uilib/UiFrame.h"
#include "uilib/WindowImplBase.h"

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// Windows built from a layout text on the headless display, and the loop that drives them.
namespace LayoutWindow {

// Runs every message that is ready, as the installer's loop would.
inline void PumpReady() {
    Platform::Message message;
    while (Platform::PeekMessage(message)) {
        if (!UiLib::CWindowManagerUI::TranslateMessage(message))
            Platform::DispatchMessage(message);
    }
}

// Runs messages until `done` holds; false when it still does not after `milliseconds`.
inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 5000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (true) {
        PumpReady();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Pictures of the layouts come from the fixture skin folder.
inline void UseFixtureSkin() {
    UiLib::SkinResources::Process().SetResourcePath(SkinFixture::Folder().wstring());
}

struct Note {
    std::wstring type;
    std::wstring sender;
    Platform::WParam wParam = 0;
    Platform::LParam lParam = 0;
    bool operator==(const Note&) const = default;
};

// Records every notification the window receives.
template <typename Base>
class Recording : public Base {
public:
    using Base::Base;

    std::vector<Note> notes;
    std::function<std::unique_ptr<UiLib::CControlUI>(const std::wstring&)> factory;

    void Notify(UiLib::NotifyMsg& msg) override {
        notes.push_back({msg.sType, msg.pSender ? msg.pSender->GetName() : L"", msg.wParam, msg.lParam});
        Base::Notify(msg);
    }
    std::unique_ptr<UiLib::CControlUI> CreateControl(const std::wstring& className) override {
        return factory ? factory(className) : nullptr;
    }
    std::vector<Note> NotesOf(const std::wstring& type) const {
        std::vector<Note> found;
        for (const Note& note : notes)
            if (note.type == type)
                found.push_back(note);
        return found;
    }
    UiLib::CControlUI* Find(const std::wstring& name) { return this->m_PaintManager.FindControl(name); }

    // Creates the window at (left, top), shows it and runs messages until it has painted once.
    Platform::WindowHandle Open(Platform::WindowHandle owner = Platform::kNoWindow, int left = 100, int top = 100) {
        UseFixtureSkin();
        const Platform::WindowHandle window =
            this->Create(owner, L"test", Platform::Style::kPopup, 0, {left, top, left + 10, top + 10});
        if (window == Platform::kNoWindow)
            return window;
        this->ShowWindow();
        PumpUntil([this] { return !NotesOf(L"windowinit").empty(); });
        PumpReady();
        return window;
    }
    // Screen point of a window point.
    Platform::Point Screen(Platform::Point point) const { return Platform::ClientToScreen(this->GetHWND(), point); }
};

// A plain layout window; the layout is the text itself.
class PlainBase : public UiLib::WindowImplBase {
public:
    explicit PlainBase(std::wstring layout) : m_Layout(std::move(layout)) {}

protected:
    std::wstring GetWindowClassName() const override { return L"LayoutTest"; }
    std::wstring GetSkinFile() const override { return m_Layout; }

private:
    std::wstring m_Layout;
};
using Plain = Recording<PlainBase>;

// An installer-style window over the same layout text.
class FrameBase : public UiLib::CUiFrame {
public:
    explicit FrameBase(std::wstring layout)
        : CUiFrame(UiLib::FrameParams{UiLib::ResourceType::File, 0, {}, std::move(layout), L"FrameTest"}) {}
};
using Frame = Recording<FrameBase>;

inline Platform::HeadlessDisplay& Display() {
    return Platform::HeadlessDisplay::Current();
}

} // namespace LayoutWindow
