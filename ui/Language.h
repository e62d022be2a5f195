#pragma once

#include <string>

namespace UiLib {

class CWindowManagerUI;

// The installer's fourteen interface languages, numbered 0 to 13, each with its locale name. A
// language's texts come from the skin's "language.json" into the window's numbered-text table,
// where the window looks them up by number.
inline constexpr int kLanguageCount = 14;

// The locale name of an index ("de-DE" for 5), empty for an index outside the table.
std::wstring LocaleNameOf(int index);

// The index for the user's interface language: the locale of LC_ALL, LC_MESSAGES or LANG (the first
// that is set) taken as a Windows language identifier; identifiers the installer has no language
// for, and locales without one, give 0.
int DetectLanguageIndex();

// Resolves the language, a matching locale name winning over the index, and stores its texts in the
// manager's numbered-text table, replacing texts of the same numbers. Without a readable
// "language.json" in the skin nothing changes and the result is 0; a file that is not JSON loads no
// texts but still resolves the index.
int ApplyLanguage(CWindowManagerUI& manager, int index, const std::wstring& localeName);

// Applies the language an earlier installation recorded in its "config.ini" (an unknown name gives
// 0) and marks the window's root for a new layout.
int ApplyLanguageFromInstall(CWindowManagerUI& manager, const std::wstring& directory);

} // namespace UiLib
