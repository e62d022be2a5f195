#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Developer diagnostics: one line per call on the debug output channel (standard error here), every
// line with the same header so that lines of different processes and threads can be told apart.
namespace Utils {

// Formats `format` with its arguments and writes the text in one piece. The format is the header
// below joined with the message; the arguments are process id, thread id, year, month, day, hour,
// minute, second, millisecond, function name (narrow text), line number, then the message's own.
void DebugLog(const wchar_t* format, ...);

// The qualified name of a function ("CDownloadInstaller::Start") from the compiler's description of it.
std::string QualifiedFunctionName(std::string_view prettyFunction);

uint32_t CurrentProcessId();
uint32_t CurrentThreadId();

struct LocalTime {
    int year, month, day, hour, minute, second, millisecond;
};
LocalTime NowLocal();

template <typename... Args>
void LogAt(const char* prettyFunction, int line, const wchar_t* format, Args... args) {
    LocalTime t = NowLocal();
    std::string function = QualifiedFunctionName(prettyFunction);
    DebugLog(format, static_cast<int>(CurrentProcessId()), static_cast<int>(CurrentThreadId()), t.year,
             t.month, t.day, t.hour, t.minute, t.second, t.millisecond, function.c_str(), line, args...);
}

} // namespace Utils

#define UTILS_LOG_HEADER L"<P%05d><T%05d><%04d-%02d-%02d %02d:%02d:%02d.%03d>(%s)<%04d>:"

// Logs a message literal with printf-style placeholders; the literal carries its own "\r\n".
// Wide texts are passed with %ls.
#define UTILS_LOG(format, ...)                                                                               \
    ::Utils::LogAt(__PRETTY_FUNCTION__, __LINE__, UTILS_LOG_HEADER format __VA_OPT__(, ) __VA_ARGS__)

// Logs a message held in a wide string, followed by a line break.
#define UTILS_LOG_TEXT(text) UTILS_LOG(L"%ls\r\n", std::wstring(text).c_str())
