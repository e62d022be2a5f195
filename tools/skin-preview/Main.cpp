// skin-preview --skin <folder or .7z file> --layout <file name> [--out <file.png>] [--dump] [--x11]:
// opens one layout of a skin as the installer's windows do, on the headless display, and writes what
// it shows as a PNG and/or its control tree as text. With --x11 the window is shown on the X server
// instead and stays until it is closed; "first frame" is printed once it is on the screen. Exit
// status: 0 done, 1 the skin, the layout, the display or the PNG failed, 2 wrong command line.

#include "platform/TextCodec.h"
#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/display/x11/X11Display.h"
#include "platform/window/WindowSystem.h"
#include "tools/skin-preview/ControlDump.h"
#include "tools/skin-preview/PreviewWindow.h"
#include "ui/InstallerControls.h"
#include "uilib/LayoutBuilder.h"
#include "uilib/SkinResources.h"

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage = "usage: skin-preview --skin <folder or .7z file> --layout <file name> [--out "
                               "<file.png>] [--dump] [--x11]\n";

struct Options {
    std::string skin;
    std::string layout;
    std::string out;
    bool dump = false;
    bool x11 = false;
};

int UsageError(const std::string& problem) {
    std::fprintf(stderr, "skin-preview: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "skin-preview: %s\n", message.c_str());
    return 1;
}

// nullopt with `status` set when the command line is not one to run.
std::optional<Options> ReadOptions(int argc, char** argv, int& status) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            status = 0;
            return std::nullopt;
        }
        if (arg == "--dump" || arg == "--x11") {
            (arg == "--dump" ? options.dump : options.x11) = true;
            continue;
        }
        std::string* value = arg == "--skin"     ? &options.skin
                             : arg == "--layout" ? &options.layout
                             : arg == "--out"    ? &options.out
                                                 : nullptr;
        if (!value) {
            status = UsageError("unknown option " + std::string(arg));
            return std::nullopt;
        }
        if (i + 1 >= argc || std::string_view(argv[i + 1]).empty()) {
            status = UsageError(std::string(arg) + " needs a value");
            return std::nullopt;
        }
        *value = argv[++i];
    }
    if (options.skin.empty() || options.layout.empty()) {
        status = UsageError(options.skin.empty() ? "--skin is missing" : "--layout is missing");
        return std::nullopt;
    }
    return options;
}

// A folder is read as it is; a file is taken as the skin's 7z package, held in memory.
bool OpenSkin(const std::string& skin, std::string& error) {
    UiLib::SkinResources& resources = UiLib::SkinResources::Process();
    std::error_code code;
    if (fs::is_directory(skin, code)) {
        resources.SetResourcePath(Platform::FromNativeText(skin));
        return true;
    }
    std::ifstream in(skin, std::ios::binary);
    if (!fs::is_regular_file(skin, code) || !in) {
        error = "cannot read the skin " + skin;
        return false;
    }
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    resources.SetMemoryArchive(bytes);
    if (!resources.Archive()) {
        error = "not a 7z skin package: " + skin;
        return false;
    }
    return true;
}

std::string OneLine(std::wstring_view text) {
    std::string line;
    for (char c : Platform::ToUtf8(text)) {
        if (c == '\n')
            line += "\\n";
        else if (c == '\r')
            line += "\\r";
        else
            line += c;
    }
    return line;
}

class InstallerControls : public UiLib::IDialogBuilderCallback {
public:
    std::unique_ptr<UiLib::CControlUI> CreateControl(const std::wstring& className) override {
        return UiLib::CreateInstallerControl(className);
    }
};

// The window would only say that it failed; the builder alone tells what and where.
bool CheckLayout(const std::wstring& layout, std::string& error) {
    InstallerControls controls;
    UiLib::CLayoutBuilder builder;
    if (builder.Create(layout, {}, &controls))
        return true;
    if (builder.ErrorMessage().empty())
        error = "the layout holds no control";
    else
        error = OneLine(builder.ErrorMessage()) + " at \"" + OneLine(builder.ErrorLocation()) + "\"";
    return false;
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    int status = 0;
    const std::optional<Options> options = ReadOptions(argc, argv, status);
    if (!options)
        return status;

    std::string error;
    if (!OpenSkin(options->skin, error))
        return Fail(error);
    const std::wstring layout = Platform::FromNativeText(options->layout);
    if (!CheckLayout(layout, error))
        return Fail(options->layout + ": " + error);

    Platform::X11Display* screen = nullptr;
    if (options->x11) {
        std::unique_ptr<Platform::X11Display> x11 = Platform::X11Display::Open();
        if (!x11)
            return Fail("cannot connect to the X server (is DISPLAY set?)");
        screen = x11.get();
        Platform::SetDisplayBackend(std::move(x11));
    }
    // Otherwise the headless display takes the window: nothing reaches a screen.
    PreviewWindow window(layout);
    if (!window.Open(screen))
        return Fail("cannot create the window");
    UiLib::CControlUI* root = window.GetManager().GetRoot();
    if (!root)
        return Fail(options->layout + ": the layout holds no control");

    if (options->dump)
        std::fputs(DumpControlTree(*root).c_str(), stdout);
    if (!options->out.empty()) {
        const Platform::Surface* pixels = Platform::GetWindowPixels(window.GetHWND());
        const std::unique_ptr<Platform::Surface> picture =
            screen ? nullptr : Platform::HeadlessDisplay::Current().snapshot(window.GetHWND());
        if (!(picture ? picture->writePng(options->out) : pixels && pixels->writePng(options->out)))
            return Fail("cannot write " + options->out);
    }
    if (screen) {
        std::fputs("first frame\n", stdout);
        std::fflush(stdout);
        UiLib::CWindowManagerUI::MessageLoop();
    }
    return 0;
}
