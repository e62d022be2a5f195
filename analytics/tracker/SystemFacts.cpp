#include "analytics/tracker/SystemFacts.h"

#include "platform/TextCodec.h"
#include "utils/SystemIdentity.h"

#include <cstdlib>

namespace quxin::tracking {

OsName operatingSystemName() {
    std::wstring family, name;
    Utils::GetOsVersionName(family, name);
    return {Platform::ToUtf8(family), Platform::ToUtf8(name)};
}

std::string userAgent() {
    OsName os = operatingSystemName();
    return "Mozilla/5.0(" + os.name + " " + os.version + "; X11; " + Platform::ToUtf8(Utils::MachineName()) +
           ";)";
}

LocaleTriple userDefaultLocale() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return localeFromText(value);
    }
    return {};
}

LocaleTriple localeFromText(std::string_view text) {
    text = text.substr(0, text.find_first_of(".@"));
    size_t underscore = text.find('_');
    if (underscore == std::string_view::npos || underscore == 0 || underscore + 1 == text.size())
        return {};
    LocaleTriple triple{std::string(text.substr(0, underscore)), std::string(text.substr(underscore + 1)),
                        ""};
    triple.locale = triple.language + "_" + triple.country;
    return triple;
}

} // namespace quxin::tracking
