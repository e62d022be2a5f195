#pragma once

#include <optional>
#include <string>

// Numbers read from the start of a text, the way the settings file and the command line give them:
// leading blanks and a sign allowed, trailing text ignored.
struct NumberText {
    enum class Outcome { Number, NoNumber, OutOfRange };

    template <typename T> struct Result {
        Outcome outcome;
        T value;
    };

    static Result<int> Integer(const std::wstring& text);
    static Result<double> Decimal(const std::wstring& text);
};
