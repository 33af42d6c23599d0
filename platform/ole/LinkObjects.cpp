#include "platform/ole/LinkObjects.h"

#include "platform/ole/CompoundFile.h"
#include "platform/ole/FileInput.h"
#include "platform/ole/OleStream.h"

#include <algorithm>
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

// An object stream that cannot be read costs only its own link. bytes is room for the stream.
void readObject(CompoundFile& file, const CompoundEntry& stream, const std::string& storage,
                std::vector<std::uint8_t>& bytes, LinkObjects& result) {
    if (!file.readInto(stream, bytes, kMaxObjectStreamSize)) {
        result.skipped.push_back(storage);
        return;
    }
    OleObject object = parseOleStream(bytes);
    switch (object.kind) {
    case OleObject::Kind::Linked: {
        LinkObject& link = result.links.emplace_back();
        link.storage = storage;
        link.absolute = std::move(*object.absolute);
        link.relative = std::move(object.relative);
        break;
    }
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
    const auto& entries = file.entries();
    LinkObjects result;
    // Room for a link in every object stream and for every storage waiting to be walked.
    result.links.reserve(static_cast<std::size_t>(
        std::count_if(entries.begin(), entries.end(), [](const CompoundEntry& entry) {
            return entry.kind == CompoundEntry::Kind::Stream && entry.name == kObjectStreamName;
        })));
    std::vector<Storage> pending;
    pending.reserve(entries.size());
    pending.push_back({&file.root(), "", 0});
    std::vector<std::uint8_t> objectBytes;
    while (!pending.empty()) {
        const Storage storage = std::move(pending.back());
        pending.pop_back();
        const auto children = file.children(*storage.entry);
        for (const CompoundEntry& child : children) {
            if (child.kind == CompoundEntry::Kind::Stream && child.name == kObjectStreamName) {
                readObject(file, child, storage.path, objectBytes, result);
            }
        }
        // Reversed onto the stack, so that siblings come out in their stored order.
        for (auto child = children.rbegin(); child != children.rend(); ++child) {
            if (child->kind == CompoundEntry::Kind::Stream || child->name == kReverseLinksName) {
                continue;
            }
            std::string path = childPath(storage.path, child->name);
            if (storage.depth + 1 > kMaxStorageDepth) {
                result.skipped.push_back(std::move(path));
            } else {
                pending.push_back({&*child, std::move(path), storage.depth + 1});
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
