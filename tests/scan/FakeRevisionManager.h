#pragma once

#include "platform/RevisionManager.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ostrevan::test {

// What the fake Revision Manager knows: each document's links by path, nothing for a
// document without a link collection, and the documents whose opening fails.
struct RevisionManagerWorld {
    std::map<std::string, std::optional<std::vector<std::string>>> documents;
    std::map<std::string, std::int32_t> openErrors;
    // Links whose full name cannot be read: reading it raises the number.
    std::map<std::string, std::int32_t> fullNameErrors;

    // Filled as the application is used.
    int created = 0;
    std::vector<std::string> opened;
    std::vector<std::int32_t> kinds; // the argument of each LinkedDocuments call
};

// An application object over a world the test owns. Opening a path the world does not hold
// raises 53, as the real one does for a missing file.
class FakeRevisionManager final : public RevisionManagerApplication {
public:
    explicit FakeRevisionManager(RevisionManagerWorld& world) : m_world(world) {}
    std::unique_ptr<RevisionManagerDocument> Open(const std::string& path) override;

private:
    RevisionManagerWorld& m_world;
};

} // namespace ostrevan::test
