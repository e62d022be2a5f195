#pragma once

#include <optional>
#include <set>
#include <string>

// What a test asks of the sample programs, from an environment variable holding comma-separated
// words, some with a value ("error=disk full", "exitcode=3").
class Scenario {
public:
    static Scenario FromEnvironment(const char* variable);

    bool Has(const std::string& word) const { return m_Words.count(word) != 0; }
    // The value of "name=value", if given.
    std::optional<std::string> Value(const std::string& name) const;
    // "exitcode=N", else 0.
    int ExitCode() const;

private:
    std::set<std::string> m_Words;
};
