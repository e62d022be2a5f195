#include "tests/x11/X11Fixture.h"

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/window/WindowSystem.h"
#include "tests/support/TestSupport.h"

#include <X11/Xutil.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

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

Child::Child(const std::string& command) {
    int out[2];
    if (pipe(out) != 0)
        return;
    m_Pid = fork();
    if (m_Pid == 0) {
        setpgid(0, 0);
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    m_Output = fdopen(out[0], "r");
}

Child::~Child() {
    if (m_Pid > 0 && !m_Exited) {
        kill(-m_Pid, SIGKILL);
        waitpid(m_Pid, nullptr, 0);
    }
    if (m_Output)
        fclose(m_Output);
}

bool Child::ReadLine(std::string& line) {
    char buffer[512];
    if (!m_Output || !std::fgets(buffer, sizeof buffer, m_Output))
        return false;
    line = buffer;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return true;
}

int Child::WaitForExit(int milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    int status = 0;
    do {
        if (waitpid(m_Pid, &status, WNOHANG) == m_Pid) {
            m_Exited = true;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < deadline);
    return -1;
}

bool FindWindow(const std::string& title, Window& window, Platform::Rect& rect, int milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        FILE* search =
            popen(("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null").c_str(), "r");
        unsigned long id = 0;
        const bool found = search && std::fscanf(search, "%lu", &id) == 1;
        if (search)
            pclose(search);
        XWindowAttributes attributes{};
        if (found && XGetWindowAttributes(Observer(), id, &attributes) &&
            attributes.map_state == IsViewable) {
            window = id;
            int left = 0, top = 0;
            Window child = 0;
            XTranslateCoordinates(Observer(), window, DefaultRootWindow(Observer()), 0, 0, &left, &top,
                                  &child);
            rect = {left, top, left + attributes.width, top + attributes.height};
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

Platform::Rect ControlRect(const std::string& layout, const std::string& name) {
    Child preview(TestSupport::BinPath("skin-preview").string() + " --skin " +
                  std::string(TOVACLIP_SOURCE_DIR) + "/skin --layout " + layout + " --dump");
    std::string line;
    const std::string wanted = "name=\"" + name + "\" rect=";
    while (preview.ReadLine(line)) {
        const size_t at = line.find(wanted);
        if (at == std::string::npos)
            continue;
        Platform::Rect rect;
        std::sscanf(line.c_str() + at + wanted.size(), "%d,%d,%d,%d", &rect.left, &rect.top, &rect.right,
                    &rect.bottom);
        return rect;
    }
    return {};
}

} // namespace X11Fixture
