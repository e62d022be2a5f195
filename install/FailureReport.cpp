#include "install/FailureReport.h"

#include "platform/KnownFolders.h"
#include "platform/TextCodec.h"
#include "utils/HardDiskManager.h"
#include "utils/Network.h"

#include <cstdio>
#include <cwchar>

namespace {

constexpr size_t kReportBuffer = 200;
constexpr double kGiB = 1073741824.0;

// True when the package file can be created (and is deleted again).
bool packageWritable(const std::wstring& packagePath) {
    std::string path = Platform::NativeText(packagePath);
    std::remove(path.c_str());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::fclose(file);
    std::remove(path.c_str());
    return true;
}

template <typename... Args> std::wstring format(const wchar_t* pattern, Args... args) {
    wchar_t buffer[kReportBuffer] = {};
    int length = std::swprintf(buffer, kReportBuffer, pattern, args...);
    // swprintf refuses text that does not fit: keep what fits.
    if (length < 0)
        buffer[kReportBuffer - 1] = L'\0';
    return buffer;
}

} // namespace

std::wstring ShortFailureText(double code, const std::wstring& message) {
    return format(L":1.code=%ld；2.msg=%ls", static_cast<long>(code), message.c_str());
}

std::wstring DownloadFailureText(double code, const std::wstring& message, const std::wstring& packagePath) {
    Utils::HardDiskManager disk;
    disk.CheckFreeSpace(Platform::DirectoryOf(packagePath));
    const wchar_t* access = packageWritable(packagePath) ? L"可读" : L"无权限";
    return format(L"1.code=%ld；2.msg=%ls；3.缓存磁盘容量=%.2fG；4.缓存读写权限=%ls；5.服务器连接状态code=%d",
                  static_cast<long>(code), message.c_str(),
                  static_cast<double>(disk.m_FreeBytesAvailable) / kGiB, access,
                  static_cast<int>(Utils::CheckNetwork()));
}
