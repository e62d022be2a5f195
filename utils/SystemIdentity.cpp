#include "utils/SystemIdentity.h"

#include "platform/TextCodec.h"

#include <fstream>
#include <map>
#include <string_view>
#include <sys/utsname.h>

namespace Utils {
namespace {

// NAME and VERSION_ID of /etc/os-release (values may be quoted).
std::map<std::string, std::string> readOsRelease() {
    std::map<std::string, std::string> values;
    std::ifstream file("/etc/os-release");
    std::string line;
    while (std::getline(file, line)) {
        size_t equals = line.find('=');
        if (equals == std::string::npos || line[0] == '#')
            continue;
        std::string value = line.substr(equals + 1);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        values[line.substr(0, equals)] = value;
    }
    return values;
}

} // namespace

void GetOsVersionName(std::wstring& family, std::wstring& name) {
    family = L"Linux";
    auto release = readOsRelease();
    std::string text = release["NAME"];
    if (!text.empty() && !release["VERSION_ID"].empty())
        text += " " + release["VERSION_ID"];
    if (text.empty()) {
        utsname info{};
        if (uname(&info) == 0)
            text = info.release;
    }
    name = Platform::FromUtf8(text);
}

bool Is64BitSystem() {
    utsname info{};
    if (uname(&info) != 0)
        return sizeof(void*) == 8;
    return std::string_view(info.machine).find("64") != std::string_view::npos;
}

std::wstring MachineName() {
    utsname info{};
    if (uname(&info) != 0)
        return {};
    return Platform::FromUtf8(info.machine);
}

} // namespace Utils
