#include "tools/sample-package/ConsoleWriter.h"
#include "tools/sample-package/Roles.h"
#include "tools/sample-package/Scenario.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

struct Options {
    std::string language;
    std::string directory;
};

Options readOptions(int argc, char** argv) {
    Options options;
    std::string instdir;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument.rfind("-inslang=", 0) == 0)
            options.language = argument.substr(9);
        else if (argument.rfind("-instdir=", 0) == 0)
            instdir = argument.substr(9);
        else if (argument.rfind("/D=", 0) == 0)
            options.directory = argument.substr(3);
    }
    if (options.directory.empty())
        options.directory = instdir;
    return options;
}

// A deliberate crash without a core file left behind.
[[noreturn]] void crash() {
    rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
    std::abort();
}

class Package {
public:
    Package(const Scenario& scenario, ConsoleWriter& out) : m_Scenario(scenario), m_Out(out) {}

    void Progress(double fraction) {
        char text[64];
        std::snprintf(text, sizeof text, "Progress=%.4g", fraction);
        m_Out.Line(text);
        if (m_Scenario.Has("slow"))
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }

    // False, after an "Error=" line, when the product could not be put in place.
    bool Install(const Options& options) {
        std::error_code error;
        fs::path directory = options.directory;
        fs::create_directories(directory, error);
        if (error || !fs::is_directory(directory)) {
            m_Out.Line("Error=无法创建安装目录 " + options.directory);
            return false;
        }
        Progress(0.4);
        fs::path self = fs::read_symlink("/proc/self/exe", error);
        for (const char* name : {"Tovaclip.exe", "uninst.ep"}) {
            fs::copy_file(self, directory / name, fs::copy_options::overwrite_existing, error);
            if (!error)
                fs::permissions(directory / name, fs::perms(0755), error);
            if (error) {
                m_Out.Line("Error=无法复制文件 " + (directory / name).string());
                return false;
            }
        }
        Progress(0.7);
        std::ofstream config(directory / "config.ini", std::ios::trunc);
        config << "[Install]\nLanguage=" << options.language << "\n";
        config.close();
        if (!config) {
            m_Out.Line("Error=无法写入 config.ini");
            return false;
        }
        Progress(0.9);
        return true;
    }

private:
    const Scenario& m_Scenario;
    ConsoleWriter& m_Out;
};

} // namespace

int RunPackage(int argc, char** argv) {
    Scenario scenario = Scenario::FromEnvironment("TOVACLIP_SAMPLE_SCENARIO");
    ConsoleWriter out({scenario.Has("crlf"), scenario.Has("split"), scenario.Has("cp936")});
    Package package(scenario, out);
    Options options = readOptions(argc, argv);

    out.Line(scenario.Has("cp936") ? "Encode=936" : "Encode=UTF8");
    if (scenario.Has("echoargs"))
        for (int i = 1; i < argc; ++i)
            out.Line(std::string("Message=") + argv[i]);
    package.Progress(0.1);
    if (scenario.Has("crash")) {
        package.Progress(0.2);
        crash();
    }
    if (scenario.Has("flood"))
        for (int i = 0; i < 20000; ++i)
            package.Progress(0.1 + 0.2 * i / 20000);
    if (auto error = scenario.Value("error")) {
        out.Line("Error=" + *error);
        return scenario.ExitCode();
    }
    if (scenario.Has("fail")) {
        out.Line("State=Fail");
        return scenario.ExitCode();
    }
    if (options.directory.empty()) {
        out.Line("Error=没有指定安装目录");
        return 1;
    }
    if (!package.Install(options))
        return 1;

    out.Line("InstPath=" + options.directory);
    out.Line("ExePath=" + options.directory + "/Tovaclip.exe");
    out.Line("UninstEp=" + options.directory + "/uninst.ep");
    out.Line("StartupStyle=UserStartup");
    out.Line("TopShowDetention=3000");
    // 0: the finished page closes only when the user closes it.
    out.Line("FinsihCloseDetention=0");
    package.Progress(1.0);
    if (scenario.Has("nofinal"))
        return scenario.ExitCode();
    out.Line("State=Success");
    if (scenario.Has("afterfinal")) {
        // Far more than a pipe holds: the package cannot exit unless its reader keeps reading.
        std::string filler(1023, 'x');
        filler += '\n';
        for (int i = 0; i < 1024; ++i)
            out.Raw(filler);
    }
    return scenario.ExitCode();
}
