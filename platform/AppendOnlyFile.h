#pragma once

#include <cstddef>
#include <string>

namespace Platform {

// A file held open for appending. Append allocates nothing and takes no lock, so a crash handler
// running in a signal handler may call it.
class AppendOnlyFile {
public:
    // Opens `path` for appending, creating it (not its folder) when missing.
    explicit AppendOnlyFile(const std::wstring& path);
    ~AppendOnlyFile();
    AppendOnlyFile(const AppendOnlyFile&) = delete;
    AppendOnlyFile& operator=(const AppendOnlyFile&) = delete;

    bool IsOpen() const { return m_Descriptor >= 0; }
    // Writes all of `data` at the end of the file; false when that failed.
    bool Append(const char* data, size_t size) noexcept;

private:
    int m_Descriptor{-1};
};

} // namespace Platform
