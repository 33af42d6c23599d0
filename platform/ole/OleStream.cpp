#include "platform/ole/OleStream.h"

#include "platform/ole/ByteReader.h"

#include <algorithm>

namespace ostrevan {
namespace {

constexpr std::uint32_t kOleStreamVersion = 0x02000001;
constexpr std::uint32_t kLinkedObjectFlag = 0x00000001;

// A moniker field: u32 size that counts itself, then size - 4 bytes; 0 means absent.
// Nothing when absent; a failed reader when the size is impossible or runs past the end.
std::optional<std::span<const std::uint8_t>> monikerField(ByteReader& reader) {
    const std::uint32_t size = reader.u32();
    if (size == 0) {
        return std::nullopt;
    }
    if (size < 4) {
        reader.fail();
        return std::nullopt;
    }
    return reader.bytes(size - 4);
}

// The moniker of a link to the container itself has no path: nothing to resolve.
void dropPathless(std::optional<MonikerTarget>& relative) {
    if (relative && relative->path.empty()) {
        relative.reset();
    }
}

// Solid Edge's own layout: u32 tag, u32 version 100, u32 of no use here, the absolute file
// moniker, u32 1 when the relative moniker follows, that moniker, a trailer of no use here.
// The monikers carry no size fields. False, and object left alone, when the bytes do not start
// like that.
bool parseSolidEdgeLink(std::span<const std::uint8_t> bytes, OleObject& object) {
    constexpr std::uint32_t kVersion = 100;
    ByteReader reader(bytes);
    reader.u32(); // tag
    const std::uint32_t version = reader.u32();
    reader.u32();
    const auto clsid = reader.bytes(kFileMonikerClsid.size());
    if (!reader.ok() || version != kVersion ||
        !std::equal(clsid.begin(), clsid.end(), kFileMonikerClsid.begin())) {
        return false;
    }
    ByteReader monikers(bytes.subspan(12));
    object.absolute = readMoniker(monikers);
    if (!object.absolute) {
        return true;
    }
    if (monikers.u32() == 1) {
        object.relative = readMoniker(monikers);
        dropPathless(object.relative);
    }
    object.kind = OleObject::Kind::Linked;
    return true;
}

} // namespace

OleObject parseOleStream(std::span<const std::uint8_t> bytes) {
    OleObject object;
    if (parseSolidEdgeLink(bytes, object)) {
        return object;
    }
    ByteReader reader(bytes);
    const std::uint32_t version = reader.u32();
    const std::uint32_t flags = reader.u32();
    reader.u32(); // LinkUpdateOption: a hint
    reader.u32(); // Reserved1: should be 0, not worth rejecting a link for
    if (!reader.ok() || version != kOleStreamVersion) {
        return object;
    }
    if ((flags & kLinkedObjectFlag) == 0) {
        object.kind = OleObject::Kind::Embedded;
        return object;
    }
    monikerField(reader); // ReservedMonikerStream: to be ignored
    const auto relative = monikerField(reader);
    const auto absolute = monikerField(reader);
    if (!reader.ok() || !absolute) {
        return object;
    }
    object.absolute = parseMoniker(*absolute);
    if (!object.absolute) {
        return object;
    }
    if (relative) {
        object.relative = parseMoniker(*relative);
        dropPathless(object.relative);
    }
    // The tail (class id, display name, update times) is not needed for listing links.
    object.kind = OleObject::Kind::Linked;
    return object;
}

} // namespace ostrevan
