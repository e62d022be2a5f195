#include "tests/x11/XServer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

pid_t Spawn(const std::string& command, int keepDescriptor = -1) {
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        for (int fd = 3; fd < 256; ++fd)
            if (fd != keepDescriptor)
                close(fd);
        execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

void Stop(pid_t& pid) {
    if (pid <= 0)
        return;
    kill(-pid, SIGTERM);
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    pid = -1;
}

} // namespace

XServer::Desktop XServer::Requested() {
    const char* value = std::getenv("TOVACLIP_X11_DESKTOP");
    const std::string desktop = value ? value : "bare";
    if (desktop == "openbox")
        return Desktop::WindowManager;
    if (desktop == "composited")
        return Desktop::Composited;
    return Desktop::Bare;
}

XServer::XServer(Desktop desktop) : m_Desktop(desktop) {
    int pipe[2];
    if (::pipe(pipe) != 0)
        throw std::runtime_error("no pipe for Xvfb");
    // Xvfb picks a free display number and writes it to the pipe once it accepts clients.
    m_Server = Spawn("Xvfb -displayfd " + std::to_string(pipe[1]) +
                         " -screen 0 1280x1024x24 -nolisten tcp -noreset +extension SHAPE +extension MIT-SHM"
                         " +extension Composite 2>/dev/null",
                     pipe[1]);
    close(pipe[1]);
    std::string number;
    char c;
    while (read(pipe[0], &c, 1) == 1 && c != '\n')
        number.push_back(c);
    close(pipe[0]);
    if (number.empty())
        throw std::runtime_error("Xvfb did not start");
    m_Display = ":" + number;
    setenv("DISPLAY", m_Display.c_str(), 1);
    MapCharacterKeys({L'中', L'文'});

    if (desktop != Desktop::Bare) {
        m_WindowManager = Spawn("openbox --sm-disable >/dev/null 2>&1");
        WaitForSelectionOrProperty(false, "_NET_SUPPORTING_WM_CHECK");
    }
    if (desktop == Desktop::Composited) {
        m_Compositor = Spawn("xcompmgr >/dev/null 2>&1");
        WaitForSelectionOrProperty(true, "_NET_WM_CM_S0");
    }
}

// Puts the characters' keysyms on free keys of the keyboard, as a Chinese keyboard layout would, before
// any desktop program starts. Otherwise the typing tool maps a key for each such character just before
// pressing it and takes the mapping back right after, and a program that reads its keys a little
// later finds them gone; and a mapping changed while a window manager runs makes it grab its keys
// anew, which can swallow a click.
void XServer::MapCharacterKeys(const std::vector<wchar_t>& characters) {
    Display* display = XOpenDisplay(m_Display.c_str());
    if (!display)
        throw std::runtime_error("cannot connect to Xvfb");
    int low = 0, high = 0;
    XDisplayKeycodes(display, &low, &high);
    int perKey = 0;
    KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(low), high - low + 1, &perKey);
    size_t next = 0;
    for (int code = high; code >= low && next < characters.size(); --code) {
        bool unused = true;
        for (int i = 0; i < perKey; ++i)
            unused = unused && map[(code - low) * perKey + i] == NoSymbol;
        if (!unused)
            continue;
        KeySym symbol = 0x01000000 | static_cast<KeySym>(characters[next++]);
        XChangeKeyboardMapping(display, code, 1, &symbol, 1);
    }
    XFree(map);
    XSync(display, False);
    XCloseDisplay(display);
}

XServer::~XServer() {
    Stop(m_Compositor);
    Stop(m_WindowManager);
    Stop(m_Server);
}

void XServer::WaitForSelectionOrProperty(bool selection, const char* name) {
    Display* display = XOpenDisplay(m_Display.c_str());
    if (!display)
        throw std::runtime_error("cannot connect to Xvfb");
    const Atom atom = XInternAtom(display, name, False);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool ready = false;
    while (!ready && std::chrono::steady_clock::now() < deadline) {
        if (selection) {
            ready = XGetSelectionOwner(display, atom) != None;
        } else {
            Atom type = 0;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            ready = XGetWindowProperty(display, DefaultRootWindow(display), atom, 0, 1, False, XA_WINDOW,
                                       &type, &format, &count, &after, &data) == Success &&
                    count == 1;
            if (data)
                XFree(data);
        }
        if (!ready)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    XCloseDisplay(display);
    if (!ready)
        throw std::runtime_error(std::string("the desktop did not come up: ") + name);
}
