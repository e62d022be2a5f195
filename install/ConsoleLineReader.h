#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

// Collects a child's console output, read in chunks of any size, into whole lines. A line that
// arrives over several reads, or a multi-byte character cut by a read, is handed over only once it is
// complete, so that no value is cut short; the lines stay bytes until the caller decodes them with
// the code page current at that line.
class ConsoleLineReader {
public:
    // A longer line is cut here; nothing the protocol carries comes near it, and a child that never
    // ends its line cannot make the reader grow without bound.
    static constexpr size_t kMaxLine = 64 * 1024;

    void Append(std::string_view bytes);

    // The next whole line, without its line feed (a carriage return before it stays). False while
    // no complete line is waiting.
    bool NextLine(std::string& line);

    // The unterminated last line, once the child has ended. False when nothing is left.
    bool TakeRest(std::string& rest);

private:
    std::deque<std::string> m_Lines;
    std::string m_Current;
};
