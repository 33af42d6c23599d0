#include "platform/ole/LinkObjects.h"

#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/ole/ByteReader.h"
#include "platform/ole/FileInput.h"
#include "platform/ole/GObjectPtr.h"
#include "platform/ole/LargeStack.h"
#include "platform/ole/LibgsfComplaints.h"
#include "platform/ole/OleStream.h"
#include "platform/ole/ZeroFilledInput.h"

#include <gsf/gsf-infile-impl.h>
#include <gsf/gsf-infile-msole.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <tuple>

namespace ostrevan {
namespace {

constexpr std::string_view kObjectStreamName = "\x01Ole";
// Solid Edge names there the documents that use this one: back references, not links.
constexpr std::string_view kReverseLinksName = "JReverseLinks";
constexpr int kMaxStorageDepth = 32;
// An OLEStream holds two monikers; anything beyond this is not a link object worth reading.
constexpr gsf_off_t kMaxObjectStreamSize = 1 << 20;

// Little-endian fields of the input at offset; a failed reader when they are not there.
ByteReader fieldsAt(GsfInput* input, gsf_off_t offset, std::size_t size) {
    const guint8* bytes = gsf_input_seek(input, offset, G_SEEK_SET) == 0
                              ? gsf_input_read(input, size, nullptr)
                              : nullptr;
    ByteReader reader(bytes != nullptr ? std::span<const std::uint8_t>(bytes, size)
                                       : std::span<const std::uint8_t>());
    if (bytes == nullptr) {
        reader.fail();
    }
    return reader;
}

// What libgsf trusts without checking: the sector sizes, the mini stream cutoff, the byte
// order, and a root entry without siblings (libgsf would read them as further roots and
// lose them). The sector shift when they are sound.
std::optional<std::uint16_t> plausibleSectorShift(GsfInput* input) {
    constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
    ByteReader header = fieldsAt(input, 0x1C, 0x3C - 0x1C);
    const std::uint16_t byteOrder = header.u16();
    const std::uint16_t sectorShift = header.u16();
    const std::uint16_t miniSectorShift = header.u16();
    header.skip(0x30 - 0x22);
    const std::uint32_t directoryStart = header.u32();
    header.skip(0x38 - 0x34);
    const std::uint32_t miniStreamCutoff = header.u32();
    if (!header.ok() || byteOrder != 0xFFFE || (sectorShift != 9 && sectorShift != 12) ||
        miniSectorShift != 6 || miniStreamCutoff != 4096) {
        return std::nullopt;
    }
    const gsf_off_t rootEntry = (gsf_off_t{directoryStart} + 1) << sectorShift;
    ByteReader root = fieldsAt(input, rootEntry + 0x44, 8);
    const std::uint32_t left = root.u32();
    const std::uint32_t right = root.u32();
    if (!root.ok() || left != kNoStream || right != kNoStream) {
        return std::nullopt;
    }
    return sectorShift;
}

// Whether the chains of the mini stream (the root entry's stream) and of the mini FAT end
// properly: libgsf follows them only when it opens the first small stream, and then cannot
// tell their damage, which is the container's, from that stream's own.
bool miniStreamChainsEnd(GsfInput* input, std::uint16_t sectorShift) {
    constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
    constexpr std::uint32_t kHeaderFatSlots = 109;
    const gsf_off_t sectorSize = gsf_off_t{1} << sectorShift;
    const auto sectorCount = static_cast<std::uint32_t>(
        std::min<gsf_off_t>(gsf_input_size(input) / sectorSize - 1, kEndOfChain));
    const std::uint32_t perSector = static_cast<std::uint32_t>(sectorSize / 4);
    const auto sectorOffset = [&](std::uint32_t sector) {
        return (gsf_off_t{sector} + 1) << sectorShift;
    };
    // The FAT sector that holds the entry of sector n, through the header's slots and the
    // chain of DIFAT sectors; the end of chain marker when there is none.
    const auto fatSectorFor = [&](std::uint32_t n) {
        std::uint32_t slot = n / perSector;
        if (slot < kHeaderFatSlots) {
            return fieldsAt(input, 0x4C + 4 * gsf_off_t{slot}, 4).u32();
        }
        slot -= kHeaderFatSlots;
        std::uint32_t difat = fieldsAt(input, 0x44, 4).u32();
        for (std::uint32_t hops = 0; slot >= perSector - 1 && hops < sectorCount; ++hops) {
            if (difat >= sectorCount) {
                return kEndOfChain;
            }
            difat = fieldsAt(input, sectorOffset(difat) + 4 * gsf_off_t{perSector - 1}, 4).u32();
            slot -= perSector - 1;
        }
        return difat < sectorCount
                   ? fieldsAt(input, sectorOffset(difat) + 4 * gsf_off_t{slot}, 4).u32()
                   : kEndOfChain;
    };
    const auto chainEnds = [&](std::uint32_t sector) {
        for (std::uint32_t length = 0; length <= sectorCount; ++length) {
            if (sector == kEndOfChain) {
                return true;
            }
            const std::uint32_t fatSector =
                sector < sectorCount ? fatSectorFor(sector) : kEndOfChain;
            if (fatSector >= sectorCount) {
                return false;
            }
            sector = fieldsAt(input, sectorOffset(fatSector) + 4 * gsf_off_t{sector % perSector}, 4)
                         .u32();
        }
        return false;
    };
    ByteReader header = fieldsAt(input, 0x30, 0x44 - 0x30);
    const std::uint32_t directoryStart = header.u32();
    header.skip(0x3C - 0x34);
    const std::uint32_t miniFatStart = header.u32();
    const std::uint32_t miniFatSectors = header.u32();
    ByteReader root = directoryStart < sectorCount
                          ? fieldsAt(input, sectorOffset(directoryStart) + 0x74, 8)
                          : ByteReader({});
    const std::uint32_t miniStreamStart = root.u32();
    const std::uint32_t miniStreamSize = root.u32();
    // Writers leave the start of an empty one as they please.
    return header.ok() && (miniStreamSize == 0 || chainEnds(miniStreamStart)) &&
           (miniFatSectors == 0 || chainEnds(miniFatStart));
}

// Nothing when the child cannot be opened, e.g. a stream whose chain is broken.
GObjectPtr<GsfInput> openChild(GsfInfile* storage, int index) {
    GError* error = nullptr;
    // Through the class, so that a failure comes back as an error instead of a warning.
    auto* infileClass = GSF_INFILE_CLASS(G_OBJECT_GET_CLASS(storage));
    GObjectPtr<GsfInput> child(infileClass->child_by_index(storage, index, &error));
    if (error != nullptr) {
        g_error_free(error);
        child.reset();
    }
    return child;
}

std::string childPath(const std::string& parent, std::string_view name) {
    return parent.empty() ? std::string(name) : parent + "/" + std::string(name);
}

// An object stream that cannot be read costs only its own link.
void readObject(GsfInput* stream, const std::string& storage, LinkObjects& result,
                const LibgsfComplaints& complaints) {
    const int complaintsBefore = complaints.count();
    const gsf_off_t size = std::min(gsf_input_size(stream), kMaxObjectStreamSize);
    const guint8* data =
        size > 0 ? gsf_input_read(stream, static_cast<std::size_t>(size), nullptr) : nullptr;
    if ((size > 0 && data == nullptr) || complaints.count() != complaintsBefore) {
        result.skipped.push_back(storage);
        return;
    }
    OleObject object = parseOleStream({data, static_cast<std::size_t>(size)});
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

// The children of storage as (index, name), in the order of the compound file's own
// comparison (shorter names first, then without regard to case), in which Windows lists
// them; libgsf keeps them in an order of its own.
std::vector<std::pair<int, std::string>> childrenInStoredOrder(GsfInfile* storage) {
    struct Child {
        int index;
        std::string name;
        std::size_t length;
        std::string upper;
    };
    std::vector<Child> children;
    const int count = gsf_infile_num_children(storage);
    for (int i = 0; i < count; ++i) {
        const char* stored = gsf_infile_name_by_index(storage, i);
        std::string name = stored != nullptr ? stored : "";
        const std::size_t length = toUtf16Le(name).size();
        std::string upper = upperCase(name);
        children.push_back({i, std::move(name), length, std::move(upper)});
    }
    std::stable_sort(children.begin(), children.end(), [](const Child& a, const Child& b) {
        return std::tie(a.length, a.upper) < std::tie(b.length, b.upper);
    });
    std::vector<std::pair<int, std::string>> ordered;
    for (Child& child : children) {
        ordered.emplace_back(child.index, std::move(child.name));
    }
    return ordered;
}

struct Storage {
    GObjectPtr<GsfInfile> infile;
    std::string path;
    int depth;
};

LinkObjects walk(GsfInfile* root, const LibgsfComplaints& complaints) {
    LinkObjects result;
    std::vector<Storage> pending;
    pending.push_back({GObjectPtr<GsfInfile>(GSF_INFILE(g_object_ref(root))), "", 0});
    while (!pending.empty()) {
        Storage storage = std::move(pending.back());
        pending.pop_back();
        std::vector<Storage> children;
        for (const auto& [i, name] : childrenInStoredOrder(storage.infile.get())) {
            if (name == kReverseLinksName) {
                continue;
            }
            // Opening a stream reads its chain; damage there costs only that stream.
            const int complaintsBefore = complaints.count();
            GObjectPtr<GsfInput> child = openChild(storage.infile.get(), i);
            const bool readable = child && complaints.count() == complaintsBefore;
            GsfInfile* childStorage = readable ? GSF_INFILE(child.get()) : nullptr;
            if (childStorage != nullptr && gsf_infile_num_children(childStorage) >= 0) {
                children.push_back({GObjectPtr<GsfInfile>(GSF_INFILE(child.release())),
                                    childPath(storage.path, name), storage.depth + 1});
            } else if (name == kObjectStreamName) {
                if (readable) {
                    readObject(child.get(), storage.path, result, complaints);
                } else {
                    result.skipped.push_back(storage.path);
                }
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

LinkObjects readFrom(GsfInput* file) {
    LibgsfComplaints complaints;
    const std::optional<std::uint16_t> sectorShift = plausibleSectorShift(file);
    if (!sectorShift) {
        raise(err::BadFileFormat);
    }
    // A partial last sector reads as if filled with zeros, as on Windows.
    const gsf_off_t sectorSize = gsf_off_t{1} << *sectorShift;
    const gsf_off_t wholeSectors = (gsf_input_size(file) + sectorSize - 1) / sectorSize;
    const GObjectPtr<GsfInput> input = zeroFilledInput(file, wholeSectors * sectorSize);
    if (!miniStreamChainsEnd(input.get(), *sectorShift)) {
        raise(err::BadFileFormat);
    }
    GError* error = nullptr;
    GObjectPtr<GsfInfile> root(gsf_infile_msole_new(input.get(), &error));
    if (error != nullptr) {
        g_error_free(error);
    }
    if (!root || complaints.any()) {
        raise(err::BadFileFormat);
    }
    return walk(root.get(), complaints);
}

} // namespace

LinkObjects readLinkObjects(GsfInput* input) {
    // libgsf builds and frees its directory tree recursively, one stack frame of about 250
    // bytes per entry along a chain of siblings, and a file of n bytes may hold n / 128
    // entries in one chain. Small files fit on any stack.
    constexpr gsf_off_t kInlineLimit = 2 << 20;
    constexpr gsf_off_t kMaxStack = gsf_off_t{1} << 30;
    const gsf_off_t size = gsf_input_size(input);
    if (size <= kInlineLimit) {
        return readFrom(input);
    }
    LinkObjects objects;
    runWithStack(static_cast<std::size_t>(std::min(size * 3, kMaxStack)),
                 [&] { objects = readFrom(input); });
    return objects;
}

LinkObjects readLinkObjects(const std::string& path) {
    const GObjectPtr<GsfInput> input = openFileInput(path);
    return readLinkObjects(input.get());
}

} // namespace ostrevan
