#include "platform/ole/LinkObjects.h"

#include "platform/ole/CompoundFile.h"
#include "platform/ole/FileInput.h"
#include "platform/ole/OleStream.h"

#include <string_view>

namespace ostrevan {
namespace {

constexpr std::string_view kObjectStreamName = "\x01Ole";
// Solid Edge names there the documents that use this one: back references, not links.
constexpr std::string_view kReverseLinksName = "JReverseLinks";
constexpr int kMaxStorageDepth = 32;
// An OLEStream holds two monikers; anything beyond this is not a link object worth reading.
constexpr std::uint64_t kMaxObjectStreamSize = 1 << 20;

std::string childPath(const std::string& parent, std::string_view name) {
    return parent.empty() ? std::string(name) : parent + "/" + std::string(name);
}

// An object stream that cannot be read costs only its own link.
void readObject(CompoundFile& file, const CompoundEntry& stream, const std::string& storage,
                LinkObjects& result) {
    const auto bytes = file.read(stream, kMaxObjectStreamSize);
    if (!bytes) {
        result.skipped.push_back(storage);
        return;
    }
    OleObject object = parseOleStream(*bytes);
    switch (object.kind) {
    case OleObject::Kind::Linked:
        result.links.push_back({storage, std::move(*object.absolute), std::move(object.relative)});
        break;
    case OleObject::Kind::Damaged:
        result.skipped.push_back(storage);
        break;
    case OleObject::Kind::Embedded:
        break;
    }
}

struct Storage {
    const CompoundEntry* entry;
    std::string path;
    int depth;
};

} // namespace

LinkObjects readLinkObjects(ByteSource& input) {
    CompoundFile file(input);
    LinkObjects result;
    std::vector<Storage> pending{{&file.root(), "", 0}};
    std::vector<Storage> children;
    while (!pending.empty()) {
        const Storage storage = std::move(pending.back());
        pending.pop_back();
        children.clear();
        for (const CompoundEntry& child : file.children(*storage.entry)) {
            if (child.kind == CompoundEntry::Kind::Stream) {
                if (child.name == kObjectStreamName) {
                    readObject(file, child, storage.path, result);
                }
            } else if (child.name != kReverseLinksName) {
                children.push_back(
                    {&child, childPath(storage.path, child.name), storage.depth + 1});
            }
        }
        // Reversed onto the stack, so that siblings come out in their stored order.
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            if (it->depth > kMaxStorageDepth) {
                result.skipped.push_back(it->path);
            } else {
                pending.push_back(std::move(*it));
            }
        }
    }
    return result;
}

LinkObjects readLinkObjects(const std::string& path) {
    FileInput input(path);
    return readLinkObjects(input);
}

} // namespace ostrevan
