#include "tests/support/SilentMachine.h"

#include "platform/ProfileFile.h"

namespace fs = std::filesystem;

namespace TestSupport {

SilentMachine::SilentMachine() {
    for (const char* folder : {"home", "tmp", "run", "programs", "public", "www"})
        fs::create_directories(m_Root.path() / folder);
    fs::copy_file(BinPath("tovaclip-sample-package"), m_Root.path() / "www" / "setup.exe");
    m_Server = std::make_unique<DownloadServer>(m_Root.path() / "www");
}

CommandResult SilentMachine::install(const std::string& environment, const std::string& options) {
    return RunCommand(commandLine(environment, options, true) + " 2>/dev/null");
}

std::string SilentMachine::commandLine(const std::string& environment, const std::string& options,
                                       bool silent) const {
    const fs::path& r = m_Root.path();
    bool analytics = options.find("-isenableappanalytics=true") != std::string::npos;
    return "env -u APPDATA HOME=" + (r / "home").string() + " TMPDIR=" + m_TempDir +
           " XDG_RUNTIME_DIR=" + (r / "run").string() +
           " XDG_CONFIG_HOME=" + (r / "home" / ".config").string() +
           " XDG_DATA_HOME=" + (r / "home" / ".local/share").string() +
           " PROGRAMFILES=" + (r / "programs").string() + " PUBLIC=" + (r / "public").string() + " " +
           environment + " " + BinPath("TovaclipSetup").string() + (silent ? " -silent=true " : " ") +
           options + (analytics ? "" : " -isenableappanalytics=false") + " -downloadurl=" + url();
}

std::string SilentMachine::registryValue(const std::wstring& name) const {
    auto file =
        m_Root.path() / "home/.config/registry/HKEY_CURRENT_USER/Software/QuXinSoft/Tovaclip/values.ini";
    return fs::path(Platform::GetProfileString(L"values", name, L"", file.wstring(), 4096)).string();
}

std::string SilentMachine::handOver(const std::wstring& section, const std::wstring& key) const {
    auto file = installDir() / "set.ini";
    return fs::path(Platform::GetProfileString(section, key, L"", file.wstring(), 4096)).string();
}

} // namespace TestSupport
