#include "tools/download-server/FileStore.h"

#include "tools/download-server/FileReader.h"

#include <memory>
#include <openssl/evp.h>
#include <vector>

namespace DownloadServer {
namespace {

std::optional<std::string> ComputeMd5(const std::filesystem::path& path) {
    FileReader file(path);
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!file.isOpen() || !context || !EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr))
        return std::nullopt;
    std::vector<char> block(64 * 1024);
    std::uint64_t offset = 0;
    while (true) {
        const long got = file.readAt(offset, block.data(), block.size());
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        EVP_DigestUpdate(context.get(), block.data(), static_cast<size_t>(got));
        offset += static_cast<std::uint64_t>(got);
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!EVP_DigestFinal_ex(context.get(), digest, &length))
        return std::nullopt;
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 0xf];
    }
    return hex;
}

} // namespace

std::optional<std::filesystem::path> FileStore::find(std::string_view name) const {
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of(std::string_view("/\0", 2)) != name.npos)
        return std::nullopt;
    std::filesystem::path path = m_Root / std::string(name);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    return path;
}

std::optional<std::string> FileStore::md5(const std::filesystem::path& file) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    const auto modified = std::filesystem::last_write_time(file, error);
    if (error)
        return std::nullopt;
    {
        std::lock_guard lock(m_Mutex);
        auto cached = m_Digests.find(file);
        // A test may rewrite a file while the server runs; size and time tell a stale digest.
        if (cached != m_Digests.end() && cached->second.size == size && cached->second.modified == modified)
            return cached->second.hex;
    }
    // Computed outside the lock: a large file must not hold up redirects to other files.
    auto hex = ComputeMd5(file);
    if (hex) {
        std::lock_guard lock(m_Mutex);
        m_Digests[file] = Digest{size, modified, *hex};
    }
    return hex;
}

} // namespace DownloadServer
