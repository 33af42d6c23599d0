#pragma once

#include "platform/FileTypeRegistry.h"

#include <map>
#include <string>
#include <vector>

namespace ostrevan::test {

// A file-type registry from a map; like the real one it ignores the extension's case. It
// records every question, and can be told to fail the next question for an extension.
class FakeFileTypes final : public FileTypeRegistry {
public:
    void add(const std::string& extension, std::string description);
    void failOnce(const std::string& extension);

    std::optional<std::string> description(std::string_view extension) const override;

    const std::vector<std::string>& asked() const { return m_asked; }

private:
    std::map<std::string, std::string> m_descriptions;
    mutable std::vector<std::string> m_failing;
    mutable std::vector<std::string> m_asked;
};

} // namespace ostrevan::test
