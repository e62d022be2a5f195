#include "utils/CommandLine.h"

namespace Utils {
namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

} // namespace

std::vector<std::wstring> SplitCommandLine(const std::wstring& text) {
    std::vector<std::wstring> arguments;
    const size_t size = text.size();
    size_t i = 0;
    while (true) {
        while (i < size && isBlank(text[i]))
            ++i;
        if (i >= size)
            return arguments;
        std::wstring argument;
        bool quoted = false;
        while (i < size && (quoted || !isBlank(text[i]))) {
            if (text[i] == L'\\') {
                size_t backslashes = 0;
                for (; i < size && text[i] == L'\\'; ++i)
                    ++backslashes;
                if (i < size && text[i] == L'"') {
                    argument.append(backslashes / 2, L'\\');
                    // An odd count escapes the quote; an even count leaves it to group below.
                    if (backslashes % 2 == 1) {
                        argument += L'"';
                        ++i;
                    }
                } else {
                    argument.append(backslashes, L'\\');
                }
            } else if (text[i] == L'"') {
                if (quoted && i + 1 < size && text[i + 1] == L'"') {
                    argument += L'"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                argument += text[i++];
            }
        }
        arguments.push_back(std::move(argument));
    }
}

} // namespace Utils
