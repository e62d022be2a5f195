#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace ToolCommon {

// Takes the value of one option; returns what is wrong with it, or an empty text when it is taken.
using OptionValueReader = std::function<std::string(std::string_view option, std::string_view value)>;

// Reads a command line of "--name VALUE" options, every name among `names`, passing each value to
// `read`. --help or -h sets `help` and ends the reading. False at the first fault, with `error` set.
bool ReadValueOptions(int argc, char** argv, std::initializer_list<std::string_view> names,
                      const OptionValueReader& read, bool& help, std::string& error);

// A port from 0 to 65535 (0: any free port); false when `value` is not one.
bool ParsePort(std::string_view value, int& port);

} // namespace ToolCommon
