#include "platform/Registry.h"

#include "platform/KnownFolders.h"
#include "platform/ProfileFile.h"
#include "platform/TextCodec.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace Platform {
namespace {

constexpr wchar_t kValuesSection[] = L"values";

bool sameNameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; };
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::optional<std::vector<std::wstring>> splitKeyPath(const std::wstring& keyPath) {
    std::vector<std::wstring> names;
    size_t start = 0;
    for (;;) {
        size_t end = keyPath.find(L'\\', start);
        std::wstring name = keyPath.substr(start, end == std::wstring::npos ? end : end - start);
        if (name.empty() || name == L"." || name == L".." || name.find(L'/') != std::wstring::npos)
            return std::nullopt;
        names.push_back(std::move(name));
        if (end == std::wstring::npos)
            return names;
        start = end + 1;
    }
}

// Key names ignore case on Windows, so "SOFTWARE" must find the folder an earlier write made as
// "Software" instead of starting a second, empty one.
std::filesystem::path existingChild(const std::filesystem::path& parent, const std::wstring& name) {
    std::error_code error;
    std::filesystem::path exact = parent / NativeText(name);
    if (std::filesystem::is_directory(exact, error))
        return exact;
    for (std::filesystem::directory_iterator it(parent, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_directory(error) &&
            sameNameIgnoringCase(FromNativeText(it->path().filename().native()), name))
            return it->path();
    }
    return {};
}

} // namespace

std::optional<RegistryKey> RegistryKey::OpenCurrentUser(const std::wstring& keyPath, bool create) {
    const std::optional<std::vector<std::wstring>> names = splitKeyPath(keyPath);
    if (!names)
        return std::nullopt;
    std::filesystem::path folder = NativeText(UserConfigDir() + L"/registry/HKEY_CURRENT_USER");
    std::error_code error;
    if (create)
        std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error))
        return std::nullopt;

    for (const std::wstring& name : *names) {
        std::filesystem::path child = existingChild(folder, name);
        if (child.empty()) {
            if (!create)
                return std::nullopt;
            child = folder / NativeText(name);
            std::filesystem::create_directory(child, error);
            // Another process may have made it meanwhile; all that matters is that it exists now.
            if (!std::filesystem::is_directory(child, error))
                return std::nullopt;
        }
        folder = std::move(child);
    }
    return RegistryKey(FromNativeText(folder.native()));
}

std::wstring RegistryKey::valuesFile() const {
    return m_Folder + L"/values.ini";
}

std::optional<std::wstring> RegistryKey::GetString(const std::wstring& name) const {
    return FindProfileString(kValuesSection, name, valuesFile());
}

bool RegistryKey::SetString(const std::wstring& name, const std::wstring& value) {
    return WriteProfileString(kValuesSection, name, value, valuesFile());
}

} // namespace Platform
