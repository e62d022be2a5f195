#include "ui/Language.h"

#include "platform/ProfileFile.h"
#include "platform/TextCodec.h"
#include "uilib/SkinResources.h"
#include "uilib/WindowManagerUI.h"
#include "uilib/controls/ControlUI.h"

#include <json/json.h>

#include <cctype>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

namespace UiLib {

namespace {

constexpr const wchar_t* kLocaleNames[kLanguageCount] = {
    L"en-US", L"zh-CN", L"zh-TW", L"id-ID", L"tr-TR", L"de-DE", L"fr-FR",
    L"es-ES", L"pt-PT", L"ja-JP", L"ko-KR", L"pl-PL", L"nl-NL", L"it-IT",
};

// Windows language identifiers of the system locales. A locale that names only its language takes
// the first entry of that language.
struct LocaleIdentifier {
    std::string_view locale;
    int identifier;
};
constexpr LocaleIdentifier kLocaleIdentifiers[] = {
    {"en_US", 1033},  {"en_GB", 2057},  {"en_AU", 3081},  {"en_CA", 4105},  {"en_NZ", 5129},
    {"en_IE", 6153},  {"en_ZA", 7177},  {"en_IN", 16393}, {"en_SG", 18441},

    {"zh_CN", 2052},  {"zh_TW", 1028},  {"zh_HK", 3076},  {"zh_SG", 4100},  {"zh_MO", 5124},

    {"id_ID", 1057},  {"tr_TR", 1055},

    {"de_DE", 1031},  {"de_CH", 2055},  {"de_AT", 3079},  {"de_LU", 4103},  {"de_LI", 5127},

    {"fr_FR", 1036},  {"fr_BE", 2060},  {"fr_CA", 3084},  {"fr_CH", 4108},  {"fr_LU", 5132},
    {"fr_MC", 6156},

    {"es_ES", 3082},  {"es_MX", 2058},  {"es_GT", 4106},  {"es_CR", 5130},  {"es_PA", 6154},
    {"es_DO", 7178},  {"es_VE", 8202},  {"es_CO", 9226},  {"es_PE", 10250}, {"es_AR", 11274},
    {"es_EC", 12298}, {"es_CL", 13322}, {"es_UY", 14346}, {"es_PY", 15370}, {"es_BO", 16394},
    {"es_SV", 17418}, {"es_HN", 18442}, {"es_NI", 19466}, {"es_PR", 20490}, {"es_US", 21514},

    {"pt_BR", 1046},  {"pt_PT", 2070},

    {"ja_JP", 1041},  {"ko_KR", 1042},  {"pl_PL", 1045},

    {"nl_NL", 1043},  {"nl_BE", 2067},

    {"it_IT", 1040},  {"it_CH", 2064},

    {"ru_RU", 1049},  {"uk_UA", 1058},  {"cs_CZ", 1029},  {"sk_SK", 1051},  {"hu_HU", 1038},
    {"ro_RO", 1048},  {"bg_BG", 1026},  {"el_GR", 1032},  {"sv_SE", 1053},  {"da_DK", 1030},
    {"nb_NO", 1044},  {"fi_FI", 1035},  {"et_EE", 1061},  {"lv_LV", 1062},  {"lt_LT", 1063},
    {"hr_HR", 1050},  {"sl_SI", 1060},  {"he_IL", 1037},  {"ar_SA", 1025},  {"ar_EG", 3073},
    {"fa_IR", 1065},  {"hi_IN", 1081},  {"th_TH", 1054},  {"vi_VN", 1066},  {"ms_MY", 1086},
    {"ca_ES", 1027},
};

// Languages the installer has texts for, by Windows language identifier.
struct IdentifierIndex {
    int identifier;
    int index;
};
constexpr IdentifierIndex kIdentifierIndexes[] = {
    {1033, 0},  {1028, 2},  {1057, 3},  {1055, 4},  {1031, 5},  {1036, 6},  {1034, 7},
    {2058, 7},  {3082, 7},  {4106, 7},  {5130, 7},  {6154, 7},  {7178, 7},  {8202, 7},
    {9226, 7},  {10250, 7}, {11274, 7}, {12298, 7}, {13322, 7}, {14346, 7}, {15370, 7},
    {16394, 7}, {17418, 7}, {18442, 7}, {19466, 7}, {20490, 7}, {1046, 8},  {1041, 9},
    {1042, 10}, {1045, 11}, {1043, 12}, {2067, 12}, {1040, 13},
};

// "de_DE.UTF-8", "de_DE@euro", "de-de" or "de"; 0 for "C", "POSIX" and locales not in the list.
int IdentifierOfLocale(std::string_view text) {
    text = text.substr(0, text.find_first_of(".@"));
    std::string locale;
    bool inCountry = false;
    for (char c : text) {
        if (c == '_' || c == '-') {
            inCountry = true;
            c = '_';
        }
        locale += char(inCountry ? std::toupper(static_cast<unsigned char>(c))
                                 : std::tolower(static_cast<unsigned char>(c)));
    }
    if (locale.empty())
        return 0;
    const bool languageOnly = locale.find('_') == std::string::npos;
    for (const LocaleIdentifier& entry : kLocaleIdentifiers) {
        if (languageOnly ? entry.locale.substr(0, entry.locale.find('_')) == locale : entry.locale == locale)
            return entry.identifier;
    }
    return 0;
}

int UserInterfaceLanguageIdentifier() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return IdentifierOfLocale(value);
    }
    return 0;
}

// A matching locale name wins; a name that matches none keeps the index as it is.
int ResolveIndex(int index, const std::wstring& localeName) {
    if (localeName.empty())
        return index >= 0 && index < kLanguageCount ? index : 0;
    for (int i = 0; i < kLanguageCount; ++i) {
        if (localeName == kLocaleNames[i])
            return i;
    }
    return index;
}

bool ParseJson(const std::vector<uint8_t>& bytes, Json::Value& root) {
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    const char* begin = reinterpret_cast<const char*>(bytes.data());
    std::string errors;
    try {
        return reader->parse(begin, begin + bytes.size(), &root, &errors);
    } catch (const std::exception&) {
        return false; // nesting deeper than the reader allows
    }
}

} // namespace

std::wstring LocaleNameOf(int index) {
    return index >= 0 && index < kLanguageCount ? kLocaleNames[index] : std::wstring();
}

int DetectLanguageIndex() {
    const int identifier = UserInterfaceLanguageIdentifier();
    for (const IdentifierIndex& entry : kIdentifierIndexes) {
        if (entry.identifier == identifier)
            return entry.index;
    }
    return 0;
}

int ApplyLanguage(CWindowManagerUI& manager, int index, const std::wstring& localeName) {
    const SkinResources::FileRead file = SkinResources::Process().ReadFile(L"language.json");
    if (!file.ok() || file.bytes.empty())
        return 0;
    const int resolved = ResolveIndex(index, localeName);

    Json::Value root;
    if (!ParseJson(file.bytes, root) || !(root.isArray() || root.isObject()))
        return resolved;
    const std::string member = Platform::ToUtf8(LocaleNameOf(resolved));
    for (const Json::Value& element : root) {
        // Texts are stored by number, so an element without a usable number has nowhere to go.
        if (!element.isObject() || !element["id"].isInt())
            continue;
        const Json::Value& text = element[member];
        manager.AddMultiLanguageString(
            element["id"].asInt(), text.isString() ? Platform::FromUtf8(text.asString()) : std::wstring());
    }
    return resolved;
}

int ApplyLanguageFromInstall(CWindowManagerUI& manager, const std::wstring& directory) {
    std::wstring path = directory;
    if (!path.empty() && path.back() != L'/')
        path += L'/';
    path += L"config.ini";

    std::error_code error;
    std::wstring localeName;
    if (std::filesystem::exists(std::filesystem::path(path), error))
        localeName = Platform::GetProfileString(L"Install", L"Language", L"en-US", path, 260);
    const int index = ApplyLanguage(manager, 0, localeName);
    if (CControlUI* root = manager.GetRoot())
        root->NeedUpdate();
    return index;
}

} // namespace UiLib
