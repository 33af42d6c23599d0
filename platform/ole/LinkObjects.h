#pragma once

#include "platform/ole/ByteSource.h"
#include "platform/ole/Moniker.h"

#include <optional>
#include <string>
#include <vector>

namespace ostrevan {

// One linked object of a compound document, as stored.
struct LinkObject {
    // The storage holding the object's "\x01Ole" stream, e.g. "JSite3" or "Model/JSite1".
    std::string storage;
    MonikerTarget absolute;
    std::optional<MonikerTarget> relative;
};

struct LinkObjects {
    // In the order of a pre-order walk of the storage tree.
    std::vector<LinkObject> links;
    // Storages whose "\x01Ole" could not be read or fits neither layout, or that lie too
    // deep to walk; each costs only its own link.
    std::vector<std::string> skipped;
};

// Reads the linked objects of the compound document in input: Solid Edge's link sites and
// standard OLE links, wherever they are in the storage tree (not below "JReverseLinks",
// which names the documents that use this one). It reads the header, the directory, the
// objects' "\x01Ole" streams and the table sectors their chains need; no other stream. A
// partial last sector reads as zeros; a stream whose chain or size is impossible is
// unreadable and costs only its own link. Raises 321 when input is not a compound file or
// its header, allocation tables or directory are damaged (cut off, looping chains).
LinkObjects readLinkObjects(ByteSource& input);

// The same for the file at path; also raises 53, 70 and 76 as FileInput does.
LinkObjects readLinkObjects(const std::string& path);

} // namespace ostrevan
