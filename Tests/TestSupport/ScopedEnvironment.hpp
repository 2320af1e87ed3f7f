#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace tilvane::testing {

// Sets (or, with nothing, unsets) an environment variable for the scope and restores it afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value) : name_(std::move(name))
    {
        if (const char* old = std::getenv(name_.c_str())) previous_ = old;
        set(value);
    }
    ~ScopedEnvironment() { set(previous_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;

private:
    void set(const std::optional<std::string>& to)
    {
        to ? setenv(name_.c_str(), to->c_str(), 1) : unsetenv(name_.c_str());
    }
    std::string name_;
    std::optional<std::string> previous_;
};

}  // namespace tilvane::testing
