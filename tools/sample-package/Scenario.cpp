#include "tools/sample-package/Scenario.h"

#include <cstdlib>

Scenario Scenario::FromEnvironment(const char* variable) {
    Scenario scenario;
    const char* text = std::getenv(variable);
    std::string rest = text ? text : "";
    while (!rest.empty()) {
        size_t comma = rest.find(',');
        std::string word = rest.substr(0, comma);
        if (!word.empty())
            scenario.m_Words.insert(word);
        rest = comma == std::string::npos ? "" : rest.substr(comma + 1);
    }
    return scenario;
}

std::optional<std::string> Scenario::Value(const std::string& name) const {
    std::string prefix = name + "=";
    for (const std::string& word : m_Words)
        if (word.compare(0, prefix.size(), prefix) == 0)
            return word.substr(prefix.size());
    return std::nullopt;
}

int Scenario::ExitCode() const {
    auto code = Value("exitcode");
    return code ? std::atoi(code->c_str()) : 0;
}
