#pragma once

#include "platform/Automation.h"
#include "platform/ole/LinkManagement.h"
#include "platform/ole/LinkResolution.h"

#include <memory>
#include <string>
#include <vector>

namespace ostrevan {

class Error;

// Hears of every document the stand-ins read, as they read it: its distinct links as they
// resolved, or the error that made it unreadable. A front end that lists more than the full
// names (how each link resolved, what was stored) learns it here, from the same reading.
class LinkReadObserver {
public:
    virtual ~LinkReadObserver() = default;
    virtual void linksRead(const std::string& document, std::vector<ResolvedLink> links) = 0;
    virtual void readFailed(const std::string& document, const Error& error) = 0;
};

// Registers the stand-ins for "QZVSEObject.Application" (GetReferences) and
// "RevisionManager.Application" (Open, LinkedDocuments, FullName), which read the links out
// of the documents themselves and resolve them by the LinkMgmt.txt in configFolder, read
// anew for every object created. report hears of each ignored line of that file; observer,
// when given, of every document read.
void registerLinkReaderServers(Automation& automation, std::string configFolder,
                               MalformedLineReport report,
                               std::shared_ptr<LinkReadObserver> observer = nullptr);

// The same with the user's configuration folder; ignored lines go to stderr, each once for
// the whole run.
void registerLinkReaderServers(Automation& automation);

} // namespace ostrevan
