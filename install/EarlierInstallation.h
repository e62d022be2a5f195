#pragma once

#include <string>

// Where a later installer finds this installation: a key under the current user with two values.
inline constexpr wchar_t kProductRegistryKey[] = L"Software\\QuXinSoft\\Tovaclip";
inline constexpr wchar_t kInstallPathValue[] = L"InstallPath";
inline constexpr wchar_t kUnInstallEpValue[] = L"UnInstallEp";
// The product's folder name under the chosen parent, and its hand-over file with the package.
inline constexpr wchar_t kProductFolderName[] = L"Tovaclip";
inline constexpr wchar_t kHandOverFileName[] = L"set.ini";

// The installation an earlier run registered; both empty when there is none.
struct EarlierInstallation {
    std::wstring InstallPath{};
    // The registered uninstaller, else InstallPath's "uninst.ep".
    std::wstring UnInstallEp{};

    // A missing key or value reads as empty.
    static EarlierInstallation Read();
};

// Who is installing. They choose the default folder and are passed on to the uninstaller, and are read
// afresh each time because an elevated installer may run for another account than the console user.
struct AdminFacts {
    bool AdminAct = false;         // the user at the active console is an administrator account
    bool AuthorizationAct = false; // this process runs with administrator rights

    static AdminFacts Read();
};
