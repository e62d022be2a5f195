#include "tests/x11/X11Fixture.h"

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/window/WindowSystem.h"

#include <X11/Xutil.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace X11Fixture {

namespace {

struct State {
    std::unique_ptr<XServer> server;
    Platform::X11Display* backend = nullptr;
    ::Display* observer = nullptr;
};

State& Current() {
    static State state;
    return state;
}

// The server and the display for the whole program: one Xvfb per run.
class Environment : public testing::Environment {
public:
    void SetUp() override {
        State& state = Current();
        state.server = std::make_unique<XServer>(XServer::Requested());
        auto backend = Platform::X11Display::Open();
        ASSERT_NE(backend, nullptr) << "cannot connect to " << state.server->displayName();
        state.backend = backend.get();
        Platform::SetDisplayBackend(std::move(backend));
        state.observer = XOpenDisplay(state.server->displayName().c_str());
        ASSERT_NE(state.observer, nullptr);
    }
    void TearDown() override {
        State& state = Current();
        if (state.observer)
            XCloseDisplay(state.observer);
        Platform::SetDisplayBackend(std::make_unique<Platform::HeadlessDisplay>());
        state.backend = nullptr;
        state.server.reset();
    }
};

[[maybe_unused]] testing::Environment* const kEnvironment =
    testing::AddGlobalTestEnvironment(new Environment);

} // namespace

Platform::X11Display& Backend() {
    return *Current().backend;
}

XServer& Server() {
    return *Current().server;
}

::Display* Observer() {
    return Current().observer;
}

Window Native(Platform::WindowHandle window) {
    return Backend().nativeWindow(window);
}

int RunWhilePumping(const std::string& command) {
    std::atomic<bool> done{false};
    int status = -1;
    std::thread runner([&] {
        status = std::system(command.c_str());
        done = true;
    });
    LayoutWindow::PumpUntil([&] { return done.load(); }, 20000);
    runner.join();
    LayoutWindow::PumpReady();
    return status;
}

bool IsShown(Platform::WindowHandle window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(Observer(), Native(window), &attributes) &&
           attributes.map_state == IsViewable;
}

Platform::Rect ServerRect(Platform::WindowHandle window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(Observer(), Native(window), &attributes);
    int left = 0, top = 0;
    Window child = 0;
    XTranslateCoordinates(Observer(), Native(window), DefaultRootWindow(Observer()), 0, 0, &left, &top,
                          &child);
    return {left, top, left + attributes.width, top + attributes.height};
}

std::vector<std::uint32_t> Screenshot(const Platform::Rect& rect) {
    std::vector<std::uint32_t> pixels;
    XImage* image = XGetImage(Observer(), DefaultRootWindow(Observer()), rect.left, rect.top,
                              static_cast<unsigned>(rect.width()), static_cast<unsigned>(rect.height()),
                              AllPlanes, ZPixmap);
    if (!image)
        return pixels;
    for (int y = 0; y < rect.height(); ++y)
        for (int x = 0; x < rect.width(); ++x)
            pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF));
    XDestroyImage(image);
    return pixels;
}

} // namespace X11Fixture
