// Times programs from their start to their first frame on the X server named by DISPLAY, the two
// commands in turn so that both see the same machine:
//   x11-start-timer <runs> '<our command>' '<peer command>'
// Ours counts until it prints a line "first frame" (after its first paint reached the server); the
// peer until the server maps its first window. Each program is ended once measured.
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

pid_t Spawn(const std::string& command, int stdoutPipe) {
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        if (stdoutPipe >= 0)
            dup2(stdoutPipe, STDOUT_FILENO);
        execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

void End(pid_t pid) {
    kill(-pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
}

// Milliseconds until the command prints "first frame"; negative when it never does.
double UntilFirstFrameLine(const std::string& command) {
    int out[2];
    if (pipe(out) != 0)
        return -1;
    const Clock::time_point start = Clock::now();
    const pid_t pid = Spawn(command, out[1]);
    close(out[1]);
    std::string seen;
    char buffer[256];
    double elapsed = -1;
    while (true) {
        pollfd descriptor{out[0], POLLIN, 0};
        if (poll(&descriptor, 1, 10000) <= 0)
            break;
        const ssize_t got = read(out[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        seen.append(buffer, static_cast<size_t>(got));
        if (seen.find("first frame\n") != std::string::npos) {
            elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
    }
    close(out[0]);
    End(pid);
    return elapsed;
}

// Milliseconds until the server maps a top-level window after the command started.
double UntilMapped(Display* display, const std::string& command) {
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);
    const Clock::time_point start = Clock::now();
    const pid_t pid = Spawn(command, -1);
    double elapsed = -1;
    const Clock::time_point deadline = start + std::chrono::seconds(10);
    while (Clock::now() < deadline && elapsed < 0) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && elapsed < 0)
                elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
        pollfd descriptor{ConnectionNumber(display), POLLIN, 0};
        poll(&descriptor, 1, 5);
    }
    End(pid);
    XSelectInput(display, DefaultRootWindow(display), NoEventMask);
    XSync(display, True);
    return elapsed;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: x11-start-timer <runs> '<our command>' '<peer command>'\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x11-start-timer: no X server\n");
        return 1;
    }
    std::vector<double> ours, peer;
    // One warm-up of each, not counted: the first start also reads the programs from disk.
    UntilFirstFrameLine(argv[2]);
    UntilMapped(display, argv[3]);
    for (int i = 0; i < runs; ++i) {
        const double a = UntilFirstFrameLine(argv[2]);
        const double b = UntilMapped(display, argv[3]);
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "x11-start-timer: run %d did not finish (ours %.1f ms, peer %.1f ms)\n", i, a, b);
            return 1;
        }
        ours.push_back(a);
        peer.push_back(b);
    }
    const double a = Median(ours), b = Median(peer);
    std::printf("runs %d (each pair back to back; steady clock, 1 us resolution)\n", runs);
    std::printf("ours: start to first painted frame  median %.1f ms  (min %.1f, max %.1f)\n", a,
                *std::min_element(ours.begin(), ours.end()), *std::max_element(ours.begin(), ours.end()));
    std::printf("peer: start to window mapped        median %.1f ms  (min %.1f, max %.1f)\n", b,
                *std::min_element(peer.begin(), peer.end()), *std::max_element(peer.begin(), peer.end()));
    std::printf("ratio ours/peer %.2f (target at most 0.50): %s\n", a / b, a / b <= 0.5 ? "PASS" : "FAIL");
    XCloseDisplay(display);
    return 0;
}
