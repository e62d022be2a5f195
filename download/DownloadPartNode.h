#pragma once

#include "download/CurlHandle.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// One byte range of the multi-part download: its part file, how far it has come and its transfer
// handle. Touched only by its own part worker while workers run; `m_Received` is read by the
// progress hook of every worker.
class DownloadPartNode {
public:
    static constexpr int32_t kStatusComplete = 0;
    static constexpr int32_t kStatusPending = -1;
    static constexpr int32_t kStatusFileFailed = -2;

    // Plans the range [first, last] of the whole file, continuing whatever the part file already holds.
    DownloadPartNode(std::string partPath, std::string url, int64_t first, int64_t last);
    DownloadPartNode(const DownloadPartNode&) = delete;
    DownloadPartNode& operator=(const DownloadPartNode&) = delete;

    // Called before each transfer attempt of this part.
    void BeginAttempt() { m_StatusChecked = false; }
    // libcurl's write hook; `node` is the part.
    static size_t WriteHook(char* data, size_t size, size_t count, void* node);
    // Every byte of the range has been written.
    bool RangeFull() const { return m_Position > m_LastByte; }
    void CloseFile() { m_File.reset(); }

    int64_t Size() const { return m_LastByte - m_First + 1; }

    struct FileCloser {
        void operator()(FILE* file) const { fclose(file); }
    };

    std::unique_ptr<FILE, FileCloser> m_File;
    int64_t m_Position{0}; // offset in the whole file of the next byte to write
    int64_t m_LastByte{0}; // inclusive
    CurlEasy m_Handle;
    std::string m_Url;
    std::string m_PartPath;
    int32_t m_Status{kStatusPending};
    std::atomic<int64_t> m_Received{0}; // bytes in the part file

private:
    size_t write(const char* data, size_t bytes);

    int64_t m_First{0};
    bool m_StatusChecked{false};
    int64_t m_Skip{0}; // bytes of the current answer before the range
};
