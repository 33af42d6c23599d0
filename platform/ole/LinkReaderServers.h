#pragma once

#include "platform/Automation.h"
#include "platform/ole/LinkManagement.h"

#include <string>

namespace ostrevan {

// Registers the stand-ins for "QZVSEObject.Application" (GetReferences) and
// "RevisionManager.Application" (Open, LinkedDocuments, FullName), which read the links out
// of the documents themselves and resolve them by the LinkMgmt.txt in configFolder, read
// anew for every object created. report hears of each ignored line of that file.
void registerLinkReaderServers(Automation& automation, std::string configFolder,
                               MalformedLineReport report);

// The same with the user's configuration folder; ignored lines go to stderr, each once for
// the whole run.
void registerLinkReaderServers(Automation& automation);

} // namespace ostrevan
