// How long a console line of the setup package takes to reach the installer as an event, and how much
// CPU the installer spends while the package runs, against a peer in the same run: the same package
// read by a plain blocking line reader (fgets on a pipe).
// Usage: console-latency [lines] [pause in ms]
#include "install/InstallCodes.h"
#include "install/Installer.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

int64_t nowNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Figures {
    std::vector<double> latenciesMs;
    double cpuSeconds = 0;
    double wallSeconds = 0;
};

// A package that writes a time stamp every `pauseMs` and then its final line.
std::string writePackage(const std::filesystem::path& folder, int lines, int pauseMs) {
    auto path = folder / "latency-package.sh";
    std::ofstream script(path);
    script << "#!/bin/sh\nfor i in $(seq " << lines << "); do\n  sleep " << pauseMs / 1000.0
           << "\n  echo \"Message=$(date +%s%N)\"\ndone\necho State=Success\n";
    script.close();
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path.string();
}

void addLatency(Figures& figures, const std::string& stamp) {
    figures.latenciesMs.push_back(double(nowNanoseconds() - std::atoll(stamp.c_str())) / 1e6);
}

Figures viaInstaller(const std::string& package, const std::filesystem::path& folder) {
    Figures figures;
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    CInstaller installer(
        [&](int32_t code, double, const wchar_t* text) {
            std::lock_guard guard(lock);
            if (code == IST_CODE_MESSAGE)
                addLatency(figures, std::filesystem::path(text).string());
            if (code == IST_CODE_SUCCESS || code == IST_CODE_FAIL) {
                finished = true;
                done.notify_all();
            }
        },
        L"\"" + std::filesystem::path(package).wstring() + L"\"", folder.wstring(), true, true, true);
    double cpuBefore = cpuSeconds();
    auto start = std::chrono::steady_clock::now();
    installer.Start();
    std::unique_lock guard(lock);
    done.wait(guard, [&] { return finished; });
    figures.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    figures.cpuSeconds = cpuSeconds() - cpuBefore;
    return figures;
}

Figures viaLineReader(const std::string& package) {
    Figures figures;
    double cpuBefore = cpuSeconds();
    auto start = std::chrono::steady_clock::now();
    FILE* pipe = popen(package.c_str(), "r");
    char line[256];
    while (pipe && fgets(line, sizeof line, pipe))
        if (std::string(line).starts_with("Message="))
            addLatency(figures, line + 8);
    if (pipe)
        pclose(pipe);
    figures.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    figures.cpuSeconds = cpuSeconds() - cpuBefore;
    return figures;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void print(const char* name, const Figures& f) {
    std::printf("%-22s %6zu %12.2f %12.2f %14.3f\n", name, f.latenciesMs.size(), median(f.latenciesMs),
                f.latenciesMs.empty() ? 0 : *std::max_element(f.latenciesMs.begin(), f.latenciesMs.end()),
                100.0 * f.cpuSeconds / f.wallSeconds);
}

} // namespace

int main(int argc, char** argv) {
    int lines = argc > 1 ? std::atoi(argv[1]) : 40;
    int pauseMs = argc > 2 ? std::atoi(argv[2]) : 150;
    auto folder = std::filesystem::temp_directory_path() / ("console-latency-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::string package = writePackage(folder, lines, pauseMs);
    Figures installer = viaInstaller(package, folder);
    Figures reader = viaLineReader(package);
    std::filesystem::remove_all(folder);
    std::printf("%-22s %6s %12s %12s %14s\n", "reader", "lines", "median ms", "max ms", "cpu % of core");
    print("package runner", installer);
    print("plain line reader", reader);
    std::printf("added latency (median): %.2f ms (target: within the protocol's 100 ms polling)\n",
                median(installer.latenciesMs) - median(reader.latenciesMs));
    std::printf("installer cpu while waiting: %.3f%% of a core (target: under 1%%)\n",
                100.0 * installer.cpuSeconds / installer.wallSeconds);
    return 0;
}
