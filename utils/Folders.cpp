#include "utils/Folders.h"

#include "platform/KnownFolders.h"
#include "platform/TextCodec.h"

#include <sys/stat.h>

namespace Utils {
namespace {

constexpr size_t kMaxPath = 260;
constexpr wchar_t kTempFolderName[] = L"~QuXinTemp.92482B06FB471E17";

bool makeDirectory(const std::wstring& path) {
    return DirectoryExists(path) || mkdir(Platform::NativeText(path).c_str(), 0755) == 0 ||
           DirectoryExists(path);
}

} // namespace

bool DirectoryExists(const std::wstring& path) {
    struct stat info {};
    return stat(Platform::NativeText(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FileExists(const std::wstring& path) {
    struct stat info {};
    return stat(Platform::NativeText(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::wstring GetTempDir() {
    std::wstring base = Platform::UserTempDir();
    if (base.size() > kMaxPath)
        return {};
    if (base.back() != Platform::kPathSeparator)
        base += Platform::kPathSeparator;
    std::wstring folder = base + kTempFolderName;
    return makeDirectory(folder) ? folder + Platform::kPathSeparator : std::wstring();
}

bool CreateDirectories(const std::wstring& path) {
    if (path.size() > kMaxPath)
        return false;
    for (size_t slash = path.find(Platform::kPathSeparator); slash != std::wstring::npos;
         slash = path.find(Platform::kPathSeparator, slash + 1)) {
        if (!makeDirectory(path.substr(0, slash + 1)))
            return false;
    }
    if (!path.empty() && path.back() != Platform::kPathSeparator)
        return makeDirectory(path);
    return true;
}

} // namespace Utils
