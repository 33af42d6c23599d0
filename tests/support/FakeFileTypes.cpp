#include "tests/support/FakeFileTypes.h"

#include "platform/Error.h"
#include "platform/Text.h"

#include <algorithm>

namespace ostrevan::test {

void FakeFileTypes::add(const std::string& extension, std::string description) {
    m_descriptions[upperCase(extension)] = std::move(description);
}

void FakeFileTypes::failOnce(const std::string& extension) {
    m_failing.push_back(upperCase(extension));
}

std::optional<std::string> FakeFileTypes::description(std::string_view extension) const {
    m_asked.emplace_back(extension);
    const std::string key = upperCase(extension);
    const auto failing = std::find(m_failing.begin(), m_failing.end(), key);
    if (failing != m_failing.end()) {
        m_failing.erase(failing);
        raise(err::DeviceIo);
    }
    const auto found = m_descriptions.find(key);
    return found != m_descriptions.end() ? std::optional(found->second) : std::nullopt;
}

} // namespace ostrevan::test
