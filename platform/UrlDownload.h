#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The system's "download a URL to a file" service: a blocking call that follows redirects, writes a
// temporary file beside the target and renames it onto the target on success.
namespace Platform {

// Result codes, as the Windows service gives them.
inline constexpr uint32_t kDownloadOk = 0;
inline constexpr uint32_t kDownloadAborted = 0x80004004;       // E_ABORT: the progress callback said stop
inline constexpr uint32_t kDownloadCannotConnect = 0x800C0004; // INET_E_CANNOT_CONNECT
inline constexpr uint32_t kDownloadNotFound = 0x800C0005;      // INET_E_RESOURCE_NOT_FOUND: 404 or 410
inline constexpr uint32_t kDownloadFailure = 0x800C0008;       // INET_E_DOWNLOAD_FAILURE: anything else

// Receives (bytes so far, total bytes or 0 while unknown) whenever data arrives and at least once a
// second; returning false aborts the download.
using UrlDownloadProgress = std::function<bool(uint64_t progress, uint64_t maximum)>;

uint32_t DownloadUrlToFile(const std::wstring& url, const std::wstring& path,
                           const UrlDownloadProgress& progress);

} // namespace Platform
