#pragma once

#include "platform/Automation.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ostrevan {

inline constexpr std::string_view kRevisionManagerProgId = "RevisionManager.Application";

class RevisionManagerDocument;
using RevisionManagerDocuments = std::vector<std::unique_ptr<RevisionManagerDocument>>;

// A document as Revision Manager hands it out.
class RevisionManagerDocument {
public:
    virtual ~RevisionManagerDocument() = default;
    // The document's full path, valid while the document lives.
    virtual const std::string& FullName() const = 0;
    // The documents this one links to (kind 0: its own, direct links), or null when the
    // document has no link object at all.
    virtual std::unique_ptr<RevisionManagerDocuments> LinkedDocuments(std::int32_t kind) = 0;
};

// "RevisionManager.Application".
class RevisionManagerApplication : public AutomationObject {
public:
    // Opens a document read-only. Raises 53 (missing), 70 (no permission), 321 (not a
    // compound document or damaged beyond reading).
    virtual std::unique_ptr<RevisionManagerDocument> Open(const std::string& path) = 0;
};

} // namespace ostrevan
