#include "tests/scan/ReportFixture.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace ostrevan::test {

ScopedEnvironment::ScopedEnvironment(const char* name, const std::string& value) : m_name(name) {
    if (const char* previous = std::getenv(name)) {
        m_previous = previous;
    }
    ::setenv(name, value.c_str(), 1);
}

ScopedEnvironment::~ScopedEnvironment() {
    if (m_previous) {
        ::setenv(m_name, m_previous->c_str(), 1);
    } else {
        ::unsetenv(m_name);
    }
}

std::optional<std::string> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReportTest::seen() const {
    std::string text = "messages:";
    for (const std::string& message : messages.messages) {
        text += " [" + message + "]";
    }
    text += " shell:";
    for (const std::string& call : shell.calls) {
        text += " [" + call + "]";
    }
    return text;
}

} // namespace ostrevan::test
