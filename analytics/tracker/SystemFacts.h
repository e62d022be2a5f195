#pragma once

#include <string>
#include <string_view>

// What the tracker reports about the system it runs on, so that the collector can tell platforms apart.
namespace quxin::tracking {

struct OsName {
    std::string name;    // "Linux"
    std::string version; // for example "Debian GNU/Linux 12"
};
OsName operatingSystemName();

// "Mozilla/5.0(Linux <version>; X11; <machine>;)"
std::string userAgent();

struct LocaleTriple {
    std::string language; // "de"
    std::string country;  // "DE"
    std::string locale;   // "de_DE"
};
// From LC_ALL, LC_MESSAGES or LANG, the first that is set; all empty when it names no country.
LocaleTriple userDefaultLocale();
// "de_DE.UTF-8@euro" gives "de", "DE", "de_DE"; text without both parts gives nothing.
LocaleTriple localeFromText(std::string_view text);

} // namespace quxin::tracking
