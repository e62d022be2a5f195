#include "tools/sample-package/ConsoleWriter.h"
#include "tools/sample-package/Roles.h"
#include "tools/sample-package/Scenario.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

// The directory of "_?=", which stands last; else the uninstaller's own directory.
fs::path uninstallDirectory(int argc, char** argv) {
    std::string last = argc > 1 ? argv[argc - 1] : "";
    if (last.rfind("_?=", 0) == 0)
        return last.substr(3);
    std::error_code error;
    return fs::read_symlink("/proc/self/exe", error).parent_path();
}

} // namespace

int RunUninstaller(int argc, char** argv) {
    Scenario scenario = Scenario::FromEnvironment("TOVACLIP_SAMPLE_UNINSTALL_SCENARIO");
    ConsoleWriter out({});
    fs::path directory = uninstallDirectory(argc, argv);

    out.Line("Encode=UTF8");
    out.Line("Progress=0.5");
    if (scenario.Has("fail")) {
        out.Line("State=Fail");
        return 1;
    }
    if (scenario.Has("linger")) {
        out.Line("State=Fail");
        std::this_thread::sleep_for(std::chrono::seconds(1));
        // Shows a test that the runner was still waiting when the uninstaller ended.
        std::ofstream(directory / "uninstaller-ended") << "ended\n";
        return 1;
    }
    // The directory itself stays: the new installation may go into it.
    for (const char* name : {"Tovaclip.exe", "config.ini", "uninst.ep", "set.ini"}) {
        std::error_code ignored;
        fs::remove(directory / name, ignored);
    }
    out.Line("Progress=1");
    if (!scenario.Has("nofinal"))
        out.Line("State=Success");
    return 0;
}
