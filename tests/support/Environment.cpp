#include "tests/support/Environment.h"

namespace ostrevan::test {

ScopedEnvironment::ScopedEnvironment(std::string name, const std::optional<std::string>& value)
    : m_name(std::move(name)), m_previous(environmentVariable(m_name)) {
    setEnvironmentVariable(m_name, value);
}

ScopedEnvironment::~ScopedEnvironment() {
    setEnvironmentVariable(m_name, m_previous);
}

} // namespace ostrevan::test
