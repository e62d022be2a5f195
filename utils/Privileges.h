#pragma once

#include <string>

namespace Utils {

// True when this process runs with the effective user id of root.
bool IsAdministrator();

// True when the local account exists and is root or a member (primary or supplementary) of one of
// the administrator groups "sudo", "wheel" or "admin".
bool IsAdminAccount(const std::wstring& userName);

// The user of the active session on seat0. False, with `name` unchanged, when it cannot be read
// (no logind, no active session, unknown user id).
bool GetConsoleUserName(std::wstring& name);

} // namespace Utils
