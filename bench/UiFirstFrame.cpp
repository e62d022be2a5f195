// The UI framework's first frame, animation tick and picture memory, on the headless display, with
// the benchmark skin (bench/MakeBenchSkin.cpp) embedded as the program's skin package (ZIPRES 147):
//   - process start to the first painted frame, split into unpacking the package, decoding every
//     picture of the layout (through the window's own image cache, before the window is created),
//     building the layout and painting the first frame. The peer is in the same run: layout and
//     paint may add at most 20 % to the unpacking and decoding that no window can do without.
//   - the CPU time of one tick of the 157 × 156 sequence label, against its 30 ms period: first
//     driven back to back as its frame timer drives it (the timer event, then the paint of what it
//     invalidated), then on its own timer through the message loop, where every tick starts from
//     caches that 30 ms of other work have cooled.
//   - the decoded pictures' bytes and the resident memory that unpacking and decoding added.
// Usage: ui-first-frame [--launched-at EPOCHREALTIME] [--ticks N] [--timer-ticks N] [--snapshot PNG]
// --launched-at takes bash's $EPOCHREALTIME read just before exec, which times the start to the
// microsecond; without it the start comes from /proc/self/stat in clock ticks. --snapshot writes the
// first frame as a picture.
#include "platform/Resources.h"
#include "platform/window/WindowSystem.h"
#include "ui/InstallerControls.h"
#include "ui/SequenceAnimation.h"
#include "uilib/ImageCache.h"
#include "uilib/SkinResources.h"
#include "uilib/UiFrame.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

double Now(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double Wall() {
    return Now(CLOCK_MONOTONIC);
}

long ResolutionNs(clockid_t clock) {
    timespec resolution{};
    clock_getres(clock, &resolution);
    return resolution.tv_sec * 1000000000L + resolution.tv_nsec;
}

// Seconds from the process's start to now, and the resolution of that start.
struct Startup {
    double seconds = 0;
    double resolution = 0;
    const char* source = "";
};

Startup SinceProcessStart(const char* launchedAt) {
    if (launchedAt)
        return {Now(CLOCK_REALTIME) - std::atof(launchedAt), 1e-6, "the launching shell's clock"};
    // Field 22 of /proc/self/stat: the start in clock ticks since boot (the fields after the name,
    // which ends at the last ')', start with field 3).
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int index = 3; index <= 22 && fields >> field; ++index) {
    }
    const double tick = 1.0 / double(sysconf(_SC_CLK_TCK));
    return {Now(CLOCK_BOOTTIME) - std::atof(field.c_str()) * tick, tick, "/proc/self/stat"};
}

// Resident memory from /proc/self/status, in KiB.
struct Resident {
    long total = 0; // VmRSS
    long file = 0;  // RssFile: pages mapped from files, the program's own included
    long peak = 0;  // VmHWM

    static Resident Now() {
        Resident resident;
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line)) {
            const long value = std::atol(line.c_str() + line.find(':') + 1);
            if (line.starts_with("VmRSS:"))
                resident.total = value;
            else if (line.starts_with("RssFile:"))
                resident.file = value;
            else if (line.starts_with("VmHWM:"))
                resident.peak = value;
        }
        return resident;
    }
};

// Wall and cpu time from construction to end(). The cpu time is the process's, so that work the
// libraries hand to their own threads counts too.
class Phase {
public:
    struct Spent {
        double wall = 0;
        double cpu = 0;
    };
    Phase() : m_Wall(Now(CLOCK_MONOTONIC)), m_Cpu(Now(CLOCK_PROCESS_CPUTIME_ID)) {}
    Spent end() const { return {Now(CLOCK_MONOTONIC) - m_Wall, Now(CLOCK_PROCESS_CPUTIME_ID) - m_Cpu}; }

private:
    double m_Wall;
    double m_Cpu;
};

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Percentile(std::vector<double> values, double share) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(share * double(values.size())))];
}

// One figure per line, "name: value unit", so that bench/ui-first-frame.sh can take medians.
void Figure(const char* name, double value, const char* unit, const std::string& note = {}) {
    std::printf("%-48s %10.3f %s%s%s\n", (std::string(name) + ":").c_str(), value, unit,
                note.empty() ? "" : "  ", note.c_str());
}

std::string Mib(long kib) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", double(kib) / 1024);
    return text;
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "ui-first-frame: %s\n", what);
    std::exit(1);
}

// The installer's window class over the benchmark layout, with the installer's controls.
class BenchWindow : public UiLib::CUiFrame {
public:
    BenchWindow()
        : CUiFrame(
              UiLib::FrameParams{UiLib::ResourceType::ZipResource, 147, {}, L"benchWnd.xml", L"BenchWnd"}) {}

    bool initialised = false;
    int timerTicks = 0;
    int quitAfterTicks = 0;

    void Notify(UiLib::NotifyMsg& msg) override {
        if (msg.sType == L"windowinit")
            initialised = true;
        if (msg.sType == L"timer" && msg.pSender && msg.pSender->GetName() == L"installAnimate" &&
            ++timerTicks == quitAfterTicks)
            Platform::PostQuitMessage(0);
        CUiFrame::Notify(msg);
    }
    std::unique_ptr<UiLib::CControlUI> CreateControl(const std::wstring& className) override {
        return UiLib::CreateInstallerControl(className);
    }
};

const char* Option(int argc, char** argv, const char* name) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return argv[i + 1];
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    const double mainAt = Wall();
    const double mainThreadCpuAt = Now(CLOCK_THREAD_CPUTIME_ID);
    const Startup startup = SinceProcessStart(Option(argc, argv, "--launched-at"));
    const char* ticksOption = Option(argc, argv, "--ticks");
    const char* timerTicksOption = Option(argc, argv, "--timer-ticks");
    // At least two: the first tick shows frame 0, which the layout already shows.
    const int ticks = ticksOption ? std::max(2, std::atoi(ticksOption)) : 1000;
    const int timerTicks = timerTicksOption ? std::max(1, std::atoi(timerTicksOption)) : 66;
    const Resident atMain = Resident::Now();

    // The window object exists before its package is opened, as in the installer.
    BenchWindow window;

    // Unpacking: the package is read whole and every entry kept decompressed.
    const Phase unpack;
    UiLib::SkinResources& resources = UiLib::SkinResources::Process();
    const std::span<const uint8_t> package = Platform::FindResource(147, "ZIPRES");
    resources.SetMemoryArchive(package);
    const UiLib::SkinArchive* archive = resources.Archive();
    if (!archive)
        Fail("the embedded skin package does not open");
    const Phase::Spent unpacked = unpack.end();
    const Resident afterUnpack = Resident::Now();

    // Decoding: every picture of the package, under the names the layout writes, into the cache the
    // window paints from.
    UiLib::ImageCache& images = window.GetManager().Images();
    std::vector<std::wstring> pictures;
    size_t pngBytes = 0;
    for (const UiLib::SkinArchive::Entry& entry : archive->entries()) {
        if (entry.path.ends_with(L".png")) {
            pictures.push_back(entry.path);
            pngBytes += entry.bytes.size();
        }
    }
    const Phase decode;
    for (const std::wstring& name : pictures)
        if (!images.GetImage(name))
            Fail("a picture of the package does not decode");
    const Phase::Spent decoded = decode.end();
    const Resident afterDecode = Resident::Now();
    size_t decodedBytes = 0;
    for (const std::wstring& name : pictures) {
        const UiLib::ImageEntry* image = images.OwnTable().Find(name);
        decodedBytes += (image->pixels.size() + image->sourcePixels.size()) * sizeof(uint32_t);
    }

    // Layout: the window reads its layout from the package and makes its controls when created.
    const Phase build;
    if (window.Create(Platform::kNoWindow, L"Tovaclip", Platform::Style::kPopup, 0, {100, 100, 110, 110}) ==
        Platform::kNoWindow)
        Fail("the window was not created");
    const Phase::Spent built = build.end();

    // First paint: the loop's first paint message lays the controls out, announces "windowinit" and
    // draws the whole window.
    const Phase paint;
    window.ShowWindow();
    Platform::Message message;
    while (!window.initialised) {
        if (!Platform::PeekMessage(message))
            Fail("the window stopped before its first paint");
        if (!UiLib::CWindowManagerUI::TranslateMessage(message))
            Platform::DispatchMessage(message);
    }
    const Phase::Spent painted = paint.end();
    const double firstFrame = startup.seconds + (Wall() - mainAt);
    const double firstFrameThreadCpu = Now(CLOCK_THREAD_CPUTIME_ID) - mainThreadCpuAt;
    if (images.OwnTable().size() != pictures.size())
        Fail("the first paint asked for pictures the package does not hold");

    auto* label = window.GetManager().FindControl(L"installAnimate");
    const Platform::Surface* pixels = Platform::GetWindowPixels(window.GetHWND());
    if (!label || !pixels)
        Fail("the layout has no animation label or the window no pixels");
    const Platform::Rect& labelPos = label->GetPos();
    if ((pixels->pixel((labelPos.left + labelPos.right) / 2, (labelPos.top + labelPos.bottom) / 2) >> 24) !=
        0xFF)
        Fail("the first frame does not show the animation");
    if (const char* snapshot = Option(argc, argv, "--snapshot"))
        pixels->writePng(snapshot);

    // Animation ticks as the frame timer drives them: the timer event moves the label to its next
    // frame and invalidates it, and the paint that follows draws what it invalidated.
    const std::wstring frameBefore = label->GetBkImage();
    std::vector<double> tickCpu;
    tickCpu.reserve(size_t(ticks));
    const Phase ticking;
    for (int i = 0; i < ticks; ++i) {
        const double at = Now(CLOCK_THREAD_CPUTIME_ID);
        UiLib::TEventUI event;
        event.Type = UiLib::EventType::Timer;
        event.pSender = label;
        event.wParam = UiLib::kSequenceTimerId;
        label->Event(event);
        Platform::UpdateWindow(window.GetHWND());
        tickCpu.push_back(Now(CLOCK_THREAD_CPUTIME_ID) - at);
    }
    const Phase::Spent ticked = ticking.end();
    if (label->GetBkImage() == frameBefore || images.OwnTable().size() != pictures.size())
        Fail("the ticks did not move the animation through its frames");

    // The same label on its own 30 ms timer, through the message loop.
    window.timerTicks = 0;
    window.quitAfterTicks = timerTicks;
    const Phase looping;
    UiLib::CWindowManagerUI::MessageLoop();
    const Phase::Spent looped = looping.end();

    const double ratio = (built.wall + painted.wall) / (unpacked.wall + decoded.wall);
    const double cpuRatio = (built.cpu + painted.cpu) / (unpacked.cpu + decoded.cpu);
    const double tickMs = ticked.cpu / ticks * 1000;
    const double periodTickMs = looped.cpu / std::max(window.timerTicks, 1) * 1000;
    const double mib = 1024.0 * 1024.0;

    std::printf("clocks: wall (monotonic) and cpu time (process, thread) %ld ns; process start %g us (%s); "
                "resident memory 1 KiB (pages of %ld bytes)\n",
                ResolutionNs(CLOCK_MONOTONIC), startup.resolution * 1e6, startup.source,
                sysconf(_SC_PAGESIZE));
    std::printf("skin of %zu pictures: package %.2f MiB, pictures %.2f MiB as PNG, %.2f MiB decoded\n",
                pictures.size(), double(package.size()) / mib, double(pngBytes) / mib,
                double(decodedBytes) / mib);
    Figure("process start to main", startup.seconds * 1000, "ms");
    Figure("unpack", unpacked.wall * 1000, "ms", "7z package from memory, every entry kept");
    Figure("decode", decoded.wall * 1000, "ms");
    Figure("layout build", built.wall * 1000, "ms", "window created, layout read, controls made");
    Figure("first paint", painted.wall * 1000, "ms", "layout arithmetic, text and pictures drawn");
    Figure("process start to first frame", firstFrame * 1000, "ms");
    Figure("unpack cpu", unpacked.cpu * 1000, "ms");
    Figure("decode cpu", decoded.cpu * 1000, "ms");
    Figure("layout build cpu", built.cpu * 1000, "ms");
    Figure("first paint cpu", painted.cpu * 1000, "ms");
    Figure("main to first frame, main thread cpu", firstFrameThreadCpu * 1000, "ms",
           "the part of the first frame no other core can take");
    Figure("layout and paint over unpack and decode", ratio, "", "target 0.20 at most");
    Figure("the same in cpu time", cpuRatio, "");
    Figure("tick cpu, back to back", tickMs, "ms",
           std::to_string(ticks) + " ticks driven one after the other, caches warm");
    Figure("tick thread cpu median, back to back", Median(tickCpu) * 1000, "ms");
    Figure("tick thread cpu 99th percentile, back to back", Percentile(tickCpu, 0.99) * 1000, "ms");
    Figure("tick wall, back to back", ticked.wall / ticks * 1000, "ms");
    Figure("tick cpu at the 30 ms period", periodTickMs, "ms",
           std::to_string(window.timerTicks) + " ticks of the label's timer through the message loop in " +
               std::to_string(int(looped.wall * 1000)) + " ms, waking included");
    Figure("tick share of the 30 ms period", periodTickMs / 30 * 100, "%");
    Figure("decoded pictures", double(decodedBytes) / mib, "MiB", "width x height x 4 over the cache");
    Figure("resident growth while unpacking", double(afterUnpack.total - atMain.total) / 1024, "MiB",
           "of it " + Mib(afterUnpack.file - atMain.file) +
               " MiB pages of files (the package in the program)");
    Figure("resident growth while decoding", double(afterDecode.total - afterUnpack.total) / 1024, "MiB");
    Figure("peak resident", double(Resident::Now().peak) / 1024, "MiB");
    std::printf("first frame target: %s\n", ratio <= 0.20 ? "PASS" : "FAIL");
    std::printf("tick target (under 1 ms of cpu at the 30 ms period): %s\n",
                periodTickMs < 1.0 ? "PASS" : "FAIL");
    return 0;
}
