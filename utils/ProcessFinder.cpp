#include "utils/ProcessFinder.h"

#include "platform/TextCodec.h"

#include <cstdlib>
#include <dirent.h>
#include <limits.h>
#include <memory>
#include <string_view>
#include <unistd.h>

namespace Utils {
namespace {

struct DirectoryCloser {
    void operator()(DIR* directory) const { closedir(directory); }
};

bool isProcessId(const char* name) {
    if (!*name)
        return false;
    for (const char* c = name; *c; ++c)
        if (*c < '0' || *c > '9')
            return false;
    return true;
}

// Base name of the process's executable; empty when it cannot be read.
std::string_view executableName(const char* pid, char (&target)[PATH_MAX]) {
    std::string link = std::string("/proc/") + pid + "/exe";
    ssize_t length = readlink(link.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof target)
        return {};
    std::string_view path(target, static_cast<size_t>(length));
    // The kernel marks an executable that was removed or replaced while running.
    constexpr std::string_view kDeleted = " (deleted)";
    if (path.ends_with(kDeleted))
        path.remove_suffix(kDeleted.size());
    size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

uint32_t FindProcessByName(const std::wstring& exeFileName) {
    std::string wanted = Platform::NativeText(exeFileName);
    if (wanted.empty())
        return 0;
    std::unique_ptr<DIR, DirectoryCloser> proc(opendir("/proc"));
    if (!proc)
        return 0;
    char target[PATH_MAX];
    while (dirent* entry = readdir(proc.get())) {
        if (!isProcessId(entry->d_name))
            continue;
        if (executableName(entry->d_name, target) == wanted)
            return static_cast<uint32_t>(std::strtoul(entry->d_name, nullptr, 10));
    }
    return 0;
}

} // namespace Utils
