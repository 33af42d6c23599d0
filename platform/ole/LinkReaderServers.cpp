#include "platform/ole/LinkReaderServers.h"

#include "platform/Error.h"
#include "platform/ReferenceComponent.h"
#include "platform/RevisionManager.h"
#include "platform/Text.h"
#include "platform/UserFolders.h"
#include "platform/ole/LinkResolution.h"

#include <array>
#include <cstddef>
#include <iostream>
#include <memory_resource>
#include <set>
#include <string_view>
#include <unordered_set>

namespace ostrevan {
namespace {

using SharedRules = std::shared_ptr<const LinkManagement>;
using SharedObserver = std::shared_ptr<LinkReadObserver>;

// A document's usual few links are compared pair by pair; many through a set.
constexpr std::size_t kMostComparedInPairs = 16;

// Keeps the first link to each target, in order; each name is compared with those kept so far
// and looked at once for being ASCII.
void keepFirstOfEachTargetByPairs(std::vector<ResolvedLink>& links) {
    std::array<bool, kMostComparedInPairs> keptAscii{};
    std::size_t kept = 0;
    for (std::size_t i = 0; i < links.size(); ++i) {
        const std::string& name = links[i].fullName;
        const bool ascii = isAscii(name);
        bool seen = false;
        for (std::size_t k = 0; k < kept && !seen; ++k) {
            seen = keptAscii[k] && ascii ? asciiEqualIgnoringCase(links[k].fullName, name)
                                         : UpperCaseEqual()(links[k].fullName, name);
        }
        if (!seen) {
            if (kept != i) {
                links[kept] = std::move(links[i]);
            }
            keptAscii[kept] = ascii;
            ++kept;
        }
    }
    links.erase(links.begin() + static_cast<std::ptrdiff_t>(kept), links.end());
}

// The same for many links: a set holds views of the names in place.
void keepFirstOfEachTargetBySet(std::vector<ResolvedLink>& links) {
    std::array<std::byte, 4096> stack;
    std::pmr::monotonic_buffer_resource memory(stack.data(), stack.size());
    std::pmr::unordered_set<std::string_view, UpperCaseHash, UpperCaseEqual> seen(
        links.size(), UpperCaseHash(), UpperCaseEqual(), &memory);
    std::pmr::vector<bool> first(&memory);
    first.reserve(links.size());
    for (const ResolvedLink& link : links) {
        first.push_back(seen.insert(link.fullName).second);
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (first[i]) {
            if (kept != i) {
                links[kept] = std::move(links[i]);
            }
            ++kept;
        }
    }
    links.erase(links.begin() + static_cast<std::ptrdiff_t>(kept), links.end());
}

// A document's links, each target once (compared without regard to case), in the order found.
std::vector<ResolvedLink> distinctLinks(const std::string& documentPath,
                                        const LinkManagement& rules, FolderListings& folders) {
    std::vector<ResolvedLink> links = readResolvedLinks(documentPath, rules, folders);
    if (links.size() <= kMostComparedInPairs) {
        keepFirstOfEachTargetByPairs(links);
    } else {
        keepFirstOfEachTargetBySet(links);
    }
    return links;
}

std::vector<std::string> fullNames(std::vector<ResolvedLink>&& links) {
    std::vector<std::string> names;
    names.reserve(links.size());
    for (ResolvedLink& link : links) {
        names.push_back(std::move(link.fullName));
    }
    return names;
}

std::vector<std::string> fullNames(const std::vector<ResolvedLink>& links) {
    std::vector<std::string> names;
    names.reserve(links.size());
    for (const ResolvedLink& link : links) {
        names.push_back(link.fullName);
    }
    return names;
}

// The full names of the distinct links of a document a caller asked for; the observer hears
// of the reading.
std::vector<std::string> linkedNames(const std::string& documentPath, const LinkManagement& rules,
                                     FolderListings& folders, LinkReadObserver* observer) {
    if (observer == nullptr) {
        return fullNames(distinctLinks(documentPath, rules, folders));
    }
    std::vector<ResolvedLink> links;
    try {
        links = distinctLinks(documentPath, rules, folders);
    } catch (...) {
        observer->readFailed(documentPath, caughtError());
        throw;
    }
    std::vector<std::string> names = fullNames(links);
    observer->linksRead(documentPath, std::move(links));
    return names;
}

// What the documents of one application read their links with: the folders their links point
// into are listed once for all of them.
struct Reading {
    explicit Reading(SharedRules linkRules) : rules(std::move(linkRules)) {}

    SharedRules rules;
    FolderListings folders;
};

// A document's distinct links as read, shared by the documents made of them; those read their
// own links with the same reading.
struct LinkedNames {
    std::shared_ptr<Reading> reading;
    std::vector<std::string> names;
};

using SharedNames = std::shared_ptr<const LinkedNames>;

// The documents that links names; null when it names none.
std::unique_ptr<RevisionManagerDocuments> documentsOf(const SharedNames& links);

// Kind 0, the document's own links, is the only kind there is.
void checkKind(std::int32_t kind) {
    if (kind != 0) {
        raise(err::InvalidCall);
    }
}

// One of the documents another links to; its own links are read when first asked for.
class LinkedDocument final : public RevisionManagerDocument {
public:
    LinkedDocument(SharedNames siblings, std::size_t index)
        : m_siblings(std::move(siblings)), m_index(index) {}

    const std::string& FullName() const override { return m_siblings->names[m_index]; }

    std::unique_ptr<RevisionManagerDocuments> LinkedDocuments(std::int32_t kind) override {
        checkKind(kind);
        if (!m_links) {
            Reading& reading = *m_siblings->reading;
            m_links = std::make_shared<const LinkedNames>(
                LinkedNames{m_siblings->reading,
                            linkedNames(FullName(), *reading.rules, reading.folders, nullptr)});
        }
        return documentsOf(m_links);
    }

private:
    SharedNames m_siblings;
    std::size_t m_index;
    SharedNames m_links;
};

std::unique_ptr<RevisionManagerDocuments> documentsOf(const SharedNames& links) {
    if (links->names.empty()) {
        return nullptr;
    }
    auto documents = std::make_unique<RevisionManagerDocuments>();
    documents->reserve(links->names.size());
    for (std::size_t i = 0; i < links->names.size(); ++i) {
        documents->push_back(std::make_unique<LinkedDocument>(links, i));
    }
    return documents;
}

// A document opened by the application, its links read as it was opened.
class OpenedDocument final : public RevisionManagerDocument {
public:
    OpenedDocument(std::string fullName, SharedNames links)
        : m_fullName(std::move(fullName)), m_links(std::move(links)) {}

    const std::string& FullName() const override { return m_fullName; }

    std::unique_ptr<RevisionManagerDocuments> LinkedDocuments(std::int32_t kind) override {
        checkKind(kind);
        return documentsOf(m_links);
    }

private:
    std::string m_fullName;
    SharedNames m_links;
};

// One application serves one scan.
class LinkReaderApplication final : public RevisionManagerApplication {
public:
    LinkReaderApplication(SharedRules rules, SharedObserver observer)
        : m_reading(std::make_shared<Reading>(std::move(rules))), m_observer(std::move(observer)) {}

    std::unique_ptr<RevisionManagerDocument> Open(const std::string& path) override {
        auto links = std::make_shared<const LinkedNames>(LinkedNames{
            m_reading, linkedNames(path, *m_reading->rules, m_reading->folders, m_observer.get())});
        return std::make_unique<OpenedDocument>(path, std::move(links));
    }

private:
    std::shared_ptr<Reading> m_reading;
    SharedObserver m_observer;
};

class LinkReaderComponent final : public ReferenceComponent {
public:
    LinkReaderComponent(SharedRules rules, SharedObserver observer)
        : m_rules(std::move(rules)), m_observer(std::move(observer)) {}

    void GetReferences(std::string& documentPath, std::vector<std::string>& references, Label&,
                       std::int32_t&, std::int32_t&, std::string&,
                       std::unique_ptr<AutomationObject>&, std::int32_t& result) override {
        FolderListings folders;
        const std::vector<std::string> names =
            linkedNames(documentPath, *m_rules, folders, m_observer.get());
        references.insert(references.end(), names.begin(), names.end());
        result = static_cast<std::int32_t>(names.size());
    }

private:
    SharedRules m_rules;
    SharedObserver m_observer;
};

} // namespace

void registerLinkReaderServers(Automation& automation, std::string configFolder,
                               MalformedLineReport report, SharedObserver observer) {
    auto rules = [folder = std::move(configFolder), report = std::move(report)] {
        return std::make_shared<const LinkManagement>(loadLinkManagement(folder, report));
    };
    automation.registerServer(std::string(kRevisionManagerProgId), [rules, observer] {
        return std::make_unique<LinkReaderApplication>(rules(), observer);
    });
    automation.registerServer(std::string(kReferenceComponentProgId), [rules, observer] {
        return std::make_unique<LinkReaderComponent>(rules(), observer);
    });
}

void registerLinkReaderServers(Automation& automation) {
    auto reported = std::make_shared<std::set<std::string>>();
    registerLinkReaderServers(automation, userConfigFolder(),
                              [reported](const std::string& message) {
                                  if (reported->insert(message).second) {
                                      std::cerr << message << '\n';
                                  }
                              });
}

} // namespace ostrevan
