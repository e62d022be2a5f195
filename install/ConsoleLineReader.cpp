#include "install/ConsoleLineReader.h"

#include <algorithm>

void ConsoleLineReader::Append(std::string_view bytes) {
    while (!bytes.empty()) {
        size_t feed = bytes.find('\n');
        std::string_view piece = bytes.substr(0, feed);
        m_Current.append(piece.substr(0, kMaxLine - std::min(kMaxLine, m_Current.size())));
        if (feed == std::string_view::npos)
            return;
        m_Lines.push_back(std::move(m_Current));
        m_Current.clear();
        bytes.remove_prefix(feed + 1);
    }
}

bool ConsoleLineReader::NextLine(std::string& line) {
    if (m_Lines.empty())
        return false;
    line = std::move(m_Lines.front());
    m_Lines.pop_front();
    return true;
}

bool ConsoleLineReader::TakeRest(std::string& rest) {
    if (m_Current.empty())
        return false;
    rest = std::move(m_Current);
    m_Current.clear();
    return true;
}
