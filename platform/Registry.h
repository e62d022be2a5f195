#pragma once

#include <optional>
#include <string>

namespace Platform {

// A key under HKEY_CURRENT_USER holding string values. Each key is a folder below
// UserConfigDir()/registry/HKEY_CURRENT_USER, its values the [values] section of values.ini in it.
// Key and value names ignore ASCII case, as on Windows.
class RegistryKey {
public:
    // `keyPath` separates keys with backslashes ("Software\\QuXinSoft\\Tovaclip"). Without `create`
    // a missing key gives nullopt. Empty, "." and ".." components, and '/' in a name, are refused.
    static std::optional<RegistryKey> OpenCurrentUser(const std::wstring& keyPath, bool create);

    // nullopt when the value (or by now the key) is missing.
    std::optional<std::wstring> GetString(const std::wstring& name) const;
    // Replaces values.ini atomically; false when the key has gone or the value cannot be stored.
    bool SetString(const std::wstring& name, const std::wstring& value);

    const std::wstring& FolderPath() const { return m_Folder; }

private:
    explicit RegistryKey(std::wstring folder) : m_Folder(std::move(folder)) {}

    std::wstring valuesFile() const;

    std::wstring m_Folder;
};

} // namespace Platform
