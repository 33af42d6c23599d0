#include "platform/ole/LinkObjects.h"

#include "platform/Error.h"
#include "platform/ole/ByteReader.h"
#include "platform/ole/FileInput.h"
#include "platform/ole/GObjectPtr.h"
#include "platform/ole/LargeStack.h"
#include "platform/ole/LibgsfComplaints.h"
#include "platform/ole/OleStream.h"

#include <gsf/gsf-infile-impl.h>
#include <gsf/gsf-infile-msole.h>

#include <algorithm>
#include <string_view>

namespace ostrevan {
namespace {

constexpr std::string_view kObjectStreamName = "\x01Ole";
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
// lose them). A file must also consist of whole sectors; a partial last one means it was
// cut off.
bool plausibleContainer(GsfInput* input) {
    constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
    const gsf_off_t size = gsf_input_size(input);
    ByteReader header = fieldsAt(input, 0x1C, 0x3C - 0x1C);
    const std::uint16_t byteOrder = header.u16();
    const std::uint16_t sectorShift = header.u16();
    const std::uint16_t miniSectorShift = header.u16();
    header.skip(0x30 - 0x22);
    const std::uint32_t directoryStart = header.u32();
    header.skip(0x38 - 0x34);
    const std::uint32_t miniStreamCutoff = header.u32();
    if (!header.ok() || byteOrder != 0xFFFE || (sectorShift != 9 && sectorShift != 12) ||
        miniSectorShift != 6 || miniStreamCutoff != 4096 ||
        size % (gsf_off_t{1} << sectorShift) != 0) {
        return false;
    }
    const gsf_off_t rootEntry = (gsf_off_t{directoryStart} + 1) << sectorShift;
    ByteReader root = fieldsAt(input, rootEntry + 0x44, 8);
    const std::uint32_t left = root.u32();
    const std::uint32_t right = root.u32();
    return root.ok() && left == kNoStream && right == kNoStream;
}

GObjectPtr<GsfInput> openChild(GsfInfile* storage, int index) {
    GError* error = nullptr;
    // Through the class, so that a failure comes back as an error instead of a warning.
    auto* infileClass = GSF_INFILE_CLASS(G_OBJECT_GET_CLASS(storage));
    GObjectPtr<GsfInput> child(infileClass->child_by_index(storage, index, &error));
    if (error != nullptr) {
        g_error_free(error);
        child.reset();
    }
    if (!child) {
        raise(err::BadFileFormat);
    }
    return child;
}

std::string childPath(const std::string& parent, std::string_view name) {
    return parent.empty() ? std::string(name) : parent + "/" + std::string(name);
}

void readObject(GsfInput* stream, const std::string& storage, LinkObjects& result) {
    const gsf_off_t size = std::min(gsf_input_size(stream), kMaxObjectStreamSize);
    const guint8* data =
        size > 0 ? gsf_input_read(stream, static_cast<std::size_t>(size), nullptr) : nullptr;
    if (size > 0 && data == nullptr) {
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
        const int count = gsf_infile_num_children(storage.infile.get());
        for (int i = 0; i < count; ++i) {
            GObjectPtr<GsfInput> child = openChild(storage.infile.get(), i);
            const char* stored = gsf_input_name(child.get());
            const std::string_view name = stored != nullptr ? stored : "";
            GsfInfile* childStorage = GSF_INFILE(child.get());
            if (gsf_infile_num_children(childStorage) >= 0) {
                children.push_back({GObjectPtr<GsfInfile>(GSF_INFILE(child.release())),
                                    childPath(storage.path, name), storage.depth + 1});
            } else if (name == kObjectStreamName) {
                readObject(child.get(), storage.path, result);
            }
        }
        if (complaints.any()) {
            raise(err::BadFileFormat);
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

LinkObjects readFrom(GsfInput* input) {
    LibgsfComplaints complaints;
    if (!plausibleContainer(input)) {
        raise(err::BadFileFormat);
    }
    GError* error = nullptr;
    GObjectPtr<GsfInfile> root(gsf_infile_msole_new(input, &error));
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
