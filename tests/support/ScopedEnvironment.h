#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Sets or removes environment variables for one test and puts the previous values back at its end.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment() {
        for (auto it = m_Saved.rbegin(); it != m_Saved.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    void Set(const std::string& name, const std::string& value) {
        save(name);
        setenv(name.c_str(), value.c_str(), 1);
    }
    void Unset(const std::string& name) {
        save(name);
        unsetenv(name.c_str());
    }
    // Set when there is a value, removed when there is none.
    void Assign(const std::string& name, const std::optional<std::string>& value) {
        if (value)
            Set(name, *value);
        else
            Unset(name);
    }

private:
    void save(const std::string& name) {
        const char* value = std::getenv(name.c_str());
        m_Saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> m_Saved;
};
