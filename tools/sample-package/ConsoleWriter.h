#pragma once

#include <string>

// Writes console protocol lines to standard output, each one straight to the descriptor so that the
// reader sees it at once.
class ConsoleWriter {
public:
    struct Style {
        bool crlf = false;  // end lines with "\r\n"
        bool split = false; // write each line in pieces with pauses, cutting a UTF-8 character
        bool cp936 = false; // lines after Encode=936 in code page 936
    };

    explicit ConsoleWriter(Style style) : m_Style(style) {}

    // `text` is UTF-8.
    void Line(const std::string& text);
    // Writes bytes as they are, in one piece.
    void Raw(const std::string& bytes);

private:
    Style m_Style;
    bool m_Encoding936 = false;
};
