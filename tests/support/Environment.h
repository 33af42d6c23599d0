#pragma once

#include <optional>
#include <string>

namespace ostrevan::test {

// Sets an environment variable of this process (nothing removes it) for the life of the
// object, then puts back what was there. Names and values are UTF-8.
class ScopedEnvironment final {
public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

// The system's own calls behind it, one file for each system.
std::optional<std::string> environmentVariable(const std::string& name);
void setEnvironmentVariable(const std::string& name, const std::optional<std::string>& value);

} // namespace ostrevan::test
