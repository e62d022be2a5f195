#include "tools/common/CommandLine.h"

#include <algorithm>
#include <charconv>

namespace ToolCommon {

bool ReadValueOptions(int argc, char** argv, std::initializer_list<std::string_view> names,
                      const OptionValueReader& read, bool& help, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help" || option == "-h") {
            help = true;
            return true;
        }
        if (std::find(names.begin(), names.end(), option) == names.end()) {
            error = "unknown option '" + std::string(option) + "'";
            return false;
        }
        if (i + 1 >= argc) {
            error = std::string(option) + " needs a value";
            return false;
        }
        error = read(option, argv[++i]);
        if (!error.empty())
            return false;
    }
    return true;
}

bool ParsePort(std::string_view value, int& port) {
    auto [end, failure] = std::from_chars(value.data(), value.data() + value.size(), port);
    return !value.empty() && failure == std::errc() && end == value.data() + value.size() && port >= 0 &&
           port <= 65535;
}

} // namespace ToolCommon
