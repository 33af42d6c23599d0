#include "tests/scan/ReportFixture.h"

#include <fstream>
#include <iterator>

namespace ostrevan::test {

std::optional<std::string> fileBytes(const std::string& path) {
    std::ifstream in(pathOf(path), std::ios::binary);
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
