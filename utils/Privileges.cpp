#include "utils/Privileges.h"

#include "platform/TextCodec.h"

#include <cerrno>
#include <cstdlib>
#include <grp.h>
#include <pwd.h>
#include <systemd/sd-login.h>
#include <unistd.h>
#include <vector>

namespace Utils {
namespace {

constexpr const char* kAdministratorGroups[] = {"sudo", "wheel", "admin"};

// Calls one of the reentrant account look-ups, growing its buffer while it reports ERANGE; true when
// an entry was found.
template <typename Lookup> bool lookUp(std::vector<char>& buffer, Lookup lookup) {
    buffer.resize(1024);
    while (true) {
        int error = lookup(buffer);
        if (error != ERANGE)
            return error == 0;
        if (buffer.size() >= (1u << 20))
            return false;
        buffer.resize(buffer.size() * 4);
    }
}

bool groupId(const char* name, gid_t& id) {
    group entry{};
    group* found = nullptr;
    std::vector<char> buffer;
    bool ok = lookUp(
        buffer, [&](std::vector<char>& b) { return getgrnam_r(name, &entry, b.data(), b.size(), &found); });
    if (!ok || !found)
        return false;
    id = entry.gr_gid;
    return true;
}

} // namespace

bool IsAdministrator() {
    return geteuid() == 0;
}

bool IsAdminAccount(const std::wstring& userName) {
    std::string name = Platform::NativeText(userName);
    if (name.empty())
        return false;
    passwd account{};
    passwd* found = nullptr;
    std::vector<char> buffer;
    bool ok = lookUp(buffer, [&](std::vector<char>& b) {
        return getpwnam_r(name.c_str(), &account, b.data(), b.size(), &found);
    });
    if (!ok || !found)
        return false;
    if (account.pw_uid == 0)
        return true;

    std::vector<gid_t> groups(32);
    int count = static_cast<int>(groups.size());
    while (getgrouplist(name.c_str(), account.pw_gid, groups.data(), &count) < 0) {
        // count now holds the number needed; guard against it not growing.
        if (static_cast<size_t>(count) <= groups.size())
            count = static_cast<int>(groups.size() * 2);
        groups.resize(static_cast<size_t>(count));
    }
    groups.resize(static_cast<size_t>(count));

    for (const char* groupName : kAdministratorGroups) {
        gid_t id;
        if (!groupId(groupName, id))
            continue;
        for (gid_t member : groups)
            if (member == id)
                return true;
    }
    return false;
}

bool GetConsoleUserName(std::wstring& name) {
    char* session = nullptr;
    uid_t uid = 0;
    int result = sd_seat_get_active("seat0", &session, &uid);
    std::free(session);
    if (result < 0)
        return false;
    passwd account{};
    passwd* found = nullptr;
    std::vector<char> buffer;
    bool ok = lookUp(
        buffer, [&](std::vector<char>& b) { return getpwuid_r(uid, &account, b.data(), b.size(), &found); });
    if (!ok || !found || !account.pw_name || !*account.pw_name)
        return false;
    name = Platform::FromNativeText(account.pw_name);
    return true;
}

} // namespace Utils
