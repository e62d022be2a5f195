#include "platform/KnownFolders.h"

#include "platform/TextCodec.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace Platform {
namespace {

std::wstring environment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? FromNativeText(value) : std::wstring();
}

std::wstring home() {
    std::wstring value = environment("HOME");
    return value.empty() ? L"/" : value;
}

std::wstring xdgDataHome() {
    std::wstring value = environment("XDG_DATA_HOME");
    return value.empty() ? home() + L"/.local/share" : value;
}

} // namespace

std::wstring AppDataDir() {
    std::wstring value = environment("APPDATA");
    return value.empty() ? xdgDataHome() : value;
}

std::wstring LocalAppDataDir() {
    return xdgDataHome();
}

std::wstring CommonDocumentsDir() {
    std::wstring publicDir = environment("PUBLIC");
    return publicDir.empty() ? L"/var/tmp" : publicDir + L"/Documents";
}

std::wstring ProgramFilesDir() {
    std::wstring value = environment("PROGRAMFILES");
    if (!value.empty())
        return value;
    return geteuid() == 0 ? L"/opt" : home() + L"/.local/opt";
}

std::wstring UserTempDir() {
    std::wstring value = environment("TMPDIR");
    while (value.size() > 1 && value.back() == kPathSeparator)
        value.pop_back();
    return value.empty() ? L"/tmp" : value;
}

std::wstring UserConfigDir() {
    std::wstring value = environment("XDG_CONFIG_HOME");
    return value.empty() ? home() + L"/.config" : value;
}

std::wstring ExecutablePath() {
    std::string buffer(4096, '\0');
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0)
        return {};
    buffer.resize(static_cast<size_t>(length));
    return FromNativeText(buffer);
}

std::wstring ExecutableDir() {
    return DirectoryOf(ExecutablePath());
}

std::vector<std::wstring> ProcessArguments() {
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::wstring> arguments;
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\0', start);
        if (end == std::string::npos)
            end = all.size();
        arguments.push_back(FromNativeText(std::string_view(all).substr(start, end - start)));
        start = end + 1;
    }
    return arguments;
}

std::wstring FileNameOf(const std::wstring& path) {
    size_t slash = path.rfind(kPathSeparator);
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring DirectoryOf(const std::wstring& path) {
    size_t slash = path.rfind(kPathSeparator);
    if (slash == std::wstring::npos)
        return {};
    return slash == 0 ? L"/" : path.substr(0, slash);
}

} // namespace Platform
