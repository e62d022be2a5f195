#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace DownloadServer {

// The served folder: plain file names only (no subfolders), and each file's MD5, computed once.
class FileStore {
public:
    explicit FileStore(std::filesystem::path root) : m_Root(std::move(root)) {}

    // The regular file `name` of the root; nothing for a missing file or a name that leaves the root.
    std::optional<std::filesystem::path> find(std::string_view name) const;

    // Lower-case hex MD5 of a file from find(), or nothing when it cannot be read.
    std::optional<std::string> md5(const std::filesystem::path& file);

private:
    struct Digest {
        std::uintmax_t size;
        std::filesystem::file_time_type modified;
        std::string hex;
    };

    std::filesystem::path m_Root;
    std::mutex m_Mutex;
    std::map<std::filesystem::path, Digest> m_Digests;
};

} // namespace DownloadServer
