#include "tests/scan/FakeRevisionManager.h"

#include "platform/Error.h"

namespace ostrevan::test {
namespace {

class FakeDocument final : public RevisionManagerDocument {
public:
    FakeDocument(std::string fullName, std::optional<std::vector<std::string>> links,
                 RevisionManagerWorld& world)
        : m_fullName(std::move(fullName)), m_links(std::move(links)), m_world(world) {}

    const std::string& FullName() const override {
        if (const auto failing = m_world.fullNameErrors.find(m_fullName);
            failing != m_world.fullNameErrors.end()) {
            raise(failing->second);
        }
        return m_fullName;
    }

    std::unique_ptr<RevisionManagerDocuments> LinkedDocuments(std::int32_t kind) override {
        m_world.kinds.push_back(kind);
        if (!m_links) {
            return nullptr;
        }
        auto documents = std::make_unique<RevisionManagerDocuments>();
        for (const std::string& link : *m_links) {
            documents->push_back(std::make_unique<FakeDocument>(link, std::nullopt, m_world));
        }
        return documents;
    }

private:
    std::string m_fullName;
    std::optional<std::vector<std::string>> m_links;
    RevisionManagerWorld& m_world;
};

} // namespace

std::unique_ptr<RevisionManagerDocument> FakeRevisionManager::Open(const std::string& path) {
    m_world.opened.push_back(path);
    if (const auto failing = m_world.openErrors.find(path); failing != m_world.openErrors.end()) {
        raise(failing->second);
    }
    const auto found = m_world.documents.find(path);
    if (found == m_world.documents.end()) {
        raise(err::FileNotFound);
    }
    return std::make_unique<FakeDocument>(path, found->second, m_world);
}

} // namespace ostrevan::test
