#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The one event callback of the install pipeline: (code, value, text). The text is valid only during
// the call. Receivers accept calls from any thread, two at a time included.
using ReportCallback = std::function<void(int32_t code, double value, const wchar_t* text)>;

// Report codes of the downloaders.
enum DownloadCode : int32_t {
    DL_CODE_START = 1001,    // a run has begun; first in every run
    DL_CODE_PROGRESS = 1002, // value: fraction received, 0 to 1
    DL_CODE_SUCCESS = 1003,  // the complete file is at the target path
    DL_CODE_FAIL = 1004,     // failed for good; value: the failing step's code
    DL_CODE_RETRY = 1005,    // this run failed; the owner is asked to call Start again
    DL_CODE_MD5 = 1006,      // integrity notice, never final
};

inline constexpr wchar_t kTextLibCurl[] = L"LibCurl";
inline constexpr wchar_t kTextUrlDownload[] = L"URLDownloadToFile";

// Fetches one file from one URL to one path on its own threads and tells its owner what happens only
// through the report callback.
class CDownloader {
public:
    virtual ~CDownloader() = default;
    // Begins (or begins again) the download; returns at once.
    virtual void Start() = 0;
};

// The downloader of a download type: 3 the multi-part one, 2 the system one, any other value the
// single-transfer one.
std::unique_ptr<CDownloader> CreateDownloader(int downloadType, ReportCallback callback,
                                              const std::wstring& url, const std::wstring& targetPath);
