#include "download/DownloadPartNode.h"

#include <algorithm>
#include <filesystem>

DownloadPartNode::DownloadPartNode(std::string partPath, std::string url, int64_t first, int64_t last)
    : m_LastByte(last), m_Handle(curl_easy_init()), m_Url(std::move(url)), m_PartPath(std::move(partPath)),
      m_First(first) {
    std::error_code error;
    auto size = std::filesystem::file_size(m_PartPath, error);
    int64_t present = error ? 0 : static_cast<int64_t>(size);
    m_Received = present;
    m_Position = first + present;
    if (RangeFull()) {
        m_Status = kStatusComplete;
        return;
    }
    m_File.reset(fopen(m_PartPath.c_str(), "ab+"));
    m_Status = m_File ? kStatusPending : kStatusFileFailed;
}

size_t DownloadPartNode::WriteHook(char* data, size_t size, size_t count, void* node) {
    return static_cast<DownloadPartNode*>(node)->write(data, size * count);
}

size_t DownloadPartNode::write(const char* data, size_t bytes) {
    if (!m_File)
        return 0;
    if (!m_StatusChecked) {
        m_StatusChecked = true;
        // A server that ignores the range answers 200 with the whole file from byte 0.
        long status = 0;
        curl_easy_getinfo(m_Handle.get(), CURLINFO_RESPONSE_CODE, &status);
        m_Skip = status == 200 ? m_Position : 0;
    }
    size_t skipped = static_cast<size_t>(std::min<int64_t>(m_Skip, static_cast<int64_t>(bytes)));
    m_Skip -= static_cast<int64_t>(skipped);
    data += skipped;
    bytes -= skipped;
    if (bytes == 0)
        return skipped;
    if (RangeFull())
        return skipped; // short count: libcurl ends the attempt with code 23
    size_t wanted =
        static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(bytes), m_LastByte - m_Position + 1));
    size_t written = fwrite(data, 1, wanted, m_File.get());
    m_Position += static_cast<int64_t>(written);
    m_Received += static_cast<int64_t>(written);
    return skipped + written;
}
