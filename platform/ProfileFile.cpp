#include "platform/ProfileFile.h"

#include "platform/AtomicFile.h"
#include "platform/TextCodec.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace Platform {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// A file replaced by another writer between our open and our lock is opened again; this bound only
// keeps a pathological race from spinning forever.
constexpr int kLockAttempts = 1000;

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}
bool isQuote(wchar_t c) {
    return c == L'"' || c == L'\'';
}

std::wstring_view trimBlanks(std::wstring_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

wchar_t asciiLower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool sameName(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

// One line as stored: its text and the line break after it (empty for a last line without one).
struct Line {
    std::string text;
    std::string_view ending;
};

std::vector<Line> splitLines(std::string_view content) {
    std::vector<Line> lines;
    while (!content.empty()) {
        size_t newline = content.find('\n');
        if (newline == std::string_view::npos) {
            lines.push_back({std::string(content), {}});
            break;
        }
        std::string_view text = content.substr(0, newline);
        bool crlf = !text.empty() && text.back() == '\r';
        if (crlf)
            text.remove_suffix(1);
        lines.push_back({std::string(text), crlf ? "\r\n" : "\n"});
        content.remove_prefix(newline + 1);
    }
    return lines;
}

enum class LineKind { Other, Section, Entry };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::wstring name;
    std::wstring value; // raw text after '=', not yet trimmed
};

ParsedLine parseLine(std::string_view raw) {
    const std::wstring decoded = FromUtf8(raw);
    const std::wstring_view text = trimBlanks(decoded);
    ParsedLine line;
    if (text.empty() || text.front() == L';' || text.front() == L'#')
        return line;
    if (text.front() == L'[') {
        line.kind = LineKind::Section;
        line.name = trimBlanks(text.substr(1, text.find(L']') - 1));
        return line;
    }
    size_t equals = text.find(L'=');
    if (equals == std::wstring_view::npos)
        return line;
    line.kind = LineKind::Entry;
    line.name = trimBlanks(text.substr(0, equals));
    line.value = text.substr(equals + 1);
    return line;
}

std::wstring unquote(std::wstring_view value) {
    value = trimBlanks(value);
    if (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::wstring(value);
}

// What goes after "key=" so that the value reads back exactly as given.
std::wstring storedForm(const std::wstring& value) {
    if (value.empty())
        return value;
    bool wouldBeTrimmed = isBlank(value.front()) || isBlank(value.back()) ||
                          (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front());
    return wouldBeTrimmed ? L"\"" + value + L"\"" : value;
}

std::string_view withoutByteOrderMark(std::string_view content) {
    if (content.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        content.remove_prefix(kByteOrderMark.size());
    return content;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_Fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_Fd; }
    void reset(int fd = -1) {
        if (m_Fd >= 0)
            ::close(m_Fd);
        m_Fd = fd;
    }

private:
    int m_Fd;
};

bool readAll(int fd, std::string& content) {
    content.clear();
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        content.append(buffer, static_cast<size_t>(n));
    }
}

std::optional<std::string> readFile(const std::wstring& path) {
    FileDescriptor fd(::open(NativeText(path).c_str(), O_RDONLY | O_CLOEXEC));
    std::string content;
    if (fd.get() < 0 || !readAll(fd.get(), content))
        return std::nullopt;
    return content;
}

// Writers replace the file by rename, so a lock on the descriptor we opened only counts while that
// descriptor still is the file at the path; otherwise another writer got there first and we open
// the new file. The lock lives as long as the returned descriptor.
bool lockCurrentFile(const std::string& path, FileDescriptor& fd) {
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
        fd.reset(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
        if (fd.get() < 0)
            return false;
        int locked;
        while ((locked = ::flock(fd.get(), LOCK_EX)) != 0 && errno == EINTR) {
        }
        struct stat held, current;
        if (locked != 0 || ::fstat(fd.get(), &held) != 0)
            return false;
        if (::stat(path.c_str(), &current) == 0 && current.st_dev == held.st_dev &&
            current.st_ino == held.st_ino)
            return true;
    }
    fd.reset();
    return false;
}

std::string joinLines(bool byteOrderMark, const std::vector<Line>& lines) {
    std::string content(byteOrderMark ? kByteOrderMark : std::string_view());
    for (const Line& line : lines) {
        content += line.text;
        content += line.ending;
    }
    return content;
}

std::string withValue(std::string_view content, const std::wstring& section, const std::wstring& key,
                      const std::wstring& value) {
    const std::string_view body = withoutByteOrderMark(content);
    const bool byteOrderMark = body.size() != content.size();
    std::vector<Line> lines = splitLines(body);
    std::string_view ending = "\n";
    if (!lines.empty() && !lines.front().ending.empty())
        ending = lines.front().ending;
    const std::string entry = ToUtf8(key) + "=" + ToUtf8(storedForm(value));

    std::vector<ParsedLine> parsed;
    parsed.reserve(lines.size());
    for (const Line& line : lines)
        parsed.push_back(parseLine(line.text));

    size_t header = std::string::npos;
    size_t end = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (parsed[i].kind != LineKind::Section)
            continue;
        if (header != std::string::npos) {
            end = i;
            break;
        }
        if (sameName(parsed[i].name, section))
            header = i;
    }

    if (header == std::string::npos) {
        if (!lines.empty() && lines.back().ending.empty())
            lines.back().ending = ending;
        lines.push_back({"[" + ToUtf8(section) + "]", ending});
        lines.push_back({entry, ending});
        return joinLines(byteOrderMark, lines);
    }

    size_t last = header;
    for (size_t i = header + 1; i < end; ++i) {
        if (parsed[i].kind == LineKind::Entry && sameName(parsed[i].name, key)) {
            lines[i].text = entry;
            return joinLines(byteOrderMark, lines);
        }
        if (!trimBlanks(FromUtf8(lines[i].text)).empty())
            last = i;
    }
    // Blank lines that close the section stay where they are, between it and the next one.
    if (lines[last].ending.empty())
        lines[last].ending = ending;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last + 1), Line{entry, ending});
    return joinLines(byteOrderMark, lines);
}

bool hasLineBreak(std::wstring_view text) {
    return text.find_first_of(L"\r\n") != std::wstring_view::npos;
}

} // namespace

std::optional<std::wstring> FindProfileString(const std::wstring& section, const std::wstring& key,
                                              const std::wstring& path) {
    const std::wstring_view wantedSection = trimBlanks(section);
    const std::wstring_view wantedKey = trimBlanks(key);
    if (wantedSection.empty() || wantedKey.empty())
        return std::nullopt;
    const std::optional<std::string> content = readFile(path);
    if (!content)
        return std::nullopt;

    bool inside = false;
    for (const Line& line : splitLines(withoutByteOrderMark(*content))) {
        ParsedLine parsed = parseLine(line.text);
        if (parsed.kind == LineKind::Section) {
            // Windows looks in the first matching section only.
            if (inside)
                return std::nullopt;
            inside = sameName(parsed.name, wantedSection);
        } else if (inside && parsed.kind == LineKind::Entry && sameName(parsed.name, wantedKey)) {
            return unquote(parsed.value);
        }
    }
    return std::nullopt;
}

std::wstring GetProfileString(const std::wstring& section, const std::wstring& key,
                              const std::wstring& defaultValue, const std::wstring& path, size_t bufferSize) {
    std::wstring value = FindProfileString(section, key, path).value_or(defaultValue);
    const size_t room = bufferSize == 0 ? 0 : bufferSize - 1;
    if (value.size() > room)
        value.resize(room);
    return value;
}

int GetProfileInt(const std::wstring& section, const std::wstring& key, int defaultValue,
                  const std::wstring& path) {
    const std::optional<std::wstring> value = FindProfileString(section, key, path);
    if (!value)
        return defaultValue;
    long long number = 0;
    for (wchar_t c : *value) {
        if (c < L'0' || c > L'9')
            break;
        number = number * 10 + (c - L'0');
        if (number > INT_MAX)
            return defaultValue;
    }
    return static_cast<int>(number);
}

bool WriteProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                        const std::wstring& path) {
    const std::wstring sectionName(trimBlanks(section));
    const std::wstring keyName(trimBlanks(key));
    if (sectionName.empty() || keyName.empty() || hasLineBreak(sectionName) || hasLineBreak(keyName) ||
        hasLineBreak(value) || sectionName.find(L']') != std::wstring::npos ||
        keyName.find(L'=') != std::wstring::npos || keyName.front() == L';' || keyName.front() == L'#' ||
        keyName.front() == L'[')
        return false;

    FileDescriptor lock;
    if (!lockCurrentFile(NativeText(path), lock))
        return false;
    std::string content;
    if (!readAll(lock.get(), content))
        return false;
    const std::string updated = withValue(content, sectionName, keyName, value);
    if (updated == content)
        return true;
    return ReplaceFileAtomically(path, updated);
}

} // namespace Platform
