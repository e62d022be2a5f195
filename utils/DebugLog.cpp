#include "utils/DebugLog.h"

#include "platform/TextCodec.h"

#include <cstdarg>
#include <cwchar>
#include <memory>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

namespace Utils {
namespace {

constexpr size_t kInlineLength = 512;
constexpr size_t kMaxLength = 1 << 20;

void writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
}

// Index of the bracket that opens the group closed at `close`, scanning backwards.
size_t openingOf(std::string_view text, size_t close, char open, char shut) {
    int depth = 0;
    for (size_t i = close + 1; i-- > 0;) {
        if (text[i] == shut)
            ++depth;
        else if (text[i] == open && --depth == 0)
            return i;
    }
    return std::string_view::npos;
}

size_t closingOf(std::string_view text, size_t open, char opening, char shut) {
    int depth = 0;
    for (size_t i = open; i < text.size(); ++i) {
        if (text[i] == opening)
            ++depth;
        else if (text[i] == shut && --depth == 0)
            return i;
    }
    return std::string_view::npos;
}

} // namespace

void DebugLog(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    wchar_t inlineBuffer[kInlineLength];
    std::unique_ptr<wchar_t[]> heapBuffer;
    wchar_t* buffer = inlineBuffer;
    size_t capacity = kInlineLength;
    int length;
    while (true) {
        va_list attempt;
        va_copy(attempt, args);
        length = vswprintf(buffer, capacity, format, attempt);
        va_end(attempt);
        if (length >= 0 || capacity >= kMaxLength)
            break;
        capacity *= 4;
        heapBuffer.reset(new (std::nothrow) wchar_t[capacity + 2]);
        if (!heapBuffer)
            break;
        buffer = heapBuffer.get();
    }
    va_end(args);
    if (length < 0)
        return;
    std::string line = Platform::ToUtf8(std::wstring_view(buffer, static_cast<size_t>(length)));
    writeAll(STDERR_FILENO, line.data(), line.size());
}

std::string QualifiedFunctionName(std::string_view text) {
    if (size_t with = text.find(" [with "); with != std::string_view::npos)
        text = text.substr(0, with);
    bool lambda = !text.empty() && text.back() == '>';
    if (!lambda) {
        size_t close = text.rfind(')');
        size_t open = close == std::string_view::npos ? close : openingOf(text, close, '(', ')');
        if (open != std::string_view::npos)
            text = text.substr(0, open);
    }
    // The return type ends at the last blank outside brackets.
    int depth = 0;
    size_t nameStart = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '<' || c == '(')
            ++depth;
        else if (c == '>' || c == ')')
            --depth;
        else if (c == ' ' && depth == 0)
            nameStart = i + 1;
    }
    text = text.substr(nameStart);
    // Function-local scopes ("Start()::<lambda(int)>") keep their names without the parameter lists.
    std::string name;
    int angles = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        angles += c == '<' ? 1 : c == '>' ? -1 : 0;
        if (c == '(' && angles == 0) {
            size_t close = closingOf(text, i, '(', ')');
            if (close != std::string_view::npos && text.substr(close + 1, 2) == "::") {
                i = close;
                continue;
            }
        }
        name += c;
    }
    if (lambda)
        name += "::operator ()";
    return name;
}

uint32_t CurrentProcessId() {
    return static_cast<uint32_t>(getpid());
}

uint32_t CurrentThreadId() {
    return static_cast<uint32_t>(syscall(SYS_gettid));
}

LocalTime NowLocal() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    return {local.tm_year + 1900,
            local.tm_mon + 1,
            local.tm_mday,
            local.tm_hour,
            local.tm_min,
            local.tm_sec,
            static_cast<int>(now.tv_nsec / 1000000)};
}

} // namespace Utils
