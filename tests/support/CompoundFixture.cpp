#include "tests/support/CompoundFixture.h"

#include "platform/Text.h"
#include "tests/support/GObjectPtr.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-output-memory.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <stdexcept>

namespace ostrevan::fixture {
namespace {

using Clsid = std::array<std::uint8_t, 16>;
constexpr Clsid systemClsid(std::uint8_t kind) {
    return {kind, 0x03, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
}
constexpr Clsid kStdOleLink = systemClsid(0x00);
constexpr Clsid kFileMoniker = systemClsid(0x03);
constexpr Clsid kItemMoniker = systemClsid(0x04);
constexpr Clsid kAntiMoniker = systemClsid(0x05);
constexpr Clsid kCompositeMoniker = systemClsid(0x09);
constexpr Clsid kUrlMoniker = {0xE0, 0xC9, 0xEA, 0x79, 0xF9, 0xBA, 0xCE, 0x11,
                               0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B};
// Solid Edge's document classes, which its link sites carry.
constexpr Clsid kPartClass = {0x80, 0x2E, 0xC5, 0x23, 0x98, 0x46, 0xCE, 0x11,
                              0xB3, 0x07, 0x08, 0x00, 0x36, 0x3A, 0x1E, 0x02};
constexpr Clsid kSheetMetalClass = {0xE0, 0x22, 0x85, 0xDD, 0x75, 0x23, 0xD0, 0x11,
                                    0xAC, 0x05, 0x08, 0x00, 0x36, 0xFD, 0x18, 0x02};
constexpr Clsid kAssemblyClass = {0x00, 0xBF, 0xC6, 0x00, 0x3B, 0x48, 0xCE, 0x11,
                                  0x95, 0x1A, 0x08, 0x00, 0x36, 0x01, 0xBE, 0x52};
// Excel's class id, as the recorded embedded objects carry it.
constexpr Clsid kEmbeddedClass = {0x20, 0x08, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};

void put16(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void put32(Bytes& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
    }
}
void append(Bytes& out, const auto& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

Bytes withClsid(const Clsid& clsid, const Bytes& data) {
    Bytes out(clsid.begin(), clsid.end());
    append(out, data);
    return out;
}

// The ANSI form of a text with its NUL.
Bytes ansiWithNul(std::string_view utf8) {
    const std::string ansi = toWindows1252(utf8);
    Bytes out(ansi.begin(), ansi.end());
    out.push_back(0);
    return out;
}

// Splits "..\..\rest" into the step count and rest.
std::pair<std::uint16_t, std::string> parentSteps(std::string path) {
    std::uint16_t steps = 0;
    while (path.rfind("..\\", 0) == 0) {
        path.erase(0, 3);
        ++steps;
    }
    return {steps, path};
}

// 2024-01-01 00:00:00 UTC, and an earlier creation time for storages.
constexpr std::uint64_t kFileTime = 0x01DA3C457689C000;
constexpr std::uint64_t kCreationTime = 0x01CD53D4F0638AC0;

void writeTime(Bytes& out, std::uint64_t time = kFileTime) {
    put32(out, static_cast<std::uint32_t>(time & 0xFFFFFFFF));
    put32(out, static_cast<std::uint32_t>(time >> 32));
}

std::uint32_t u32At(const Bytes& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset] | (bytes[offset + 1] << 8) |
                                      (bytes[offset + 2] << 16) | (bytes[offset + 3] << 24));
}

void putTime(Bytes& bytes, std::size_t offset, std::uint64_t time) {
    Bytes field;
    writeTime(field, time);
    std::copy(field.begin(), field.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

// Stamps the times as Solid Edge leaves them: storages created and modified, the root entry
// modified only, streams without times. libgsf's writer leaves them all zero.
void stampTimes(Bytes& file) {
    constexpr std::size_t kSector = 512;
    constexpr std::uint32_t kLastRegular = 0xFFFFFFFA;
    const auto fatEntry = [&](std::uint32_t sector) {
        const std::uint32_t perSector = kSector / 4;
        const std::uint32_t fatSector = u32At(file, 0x4C + 4 * (sector / perSector));
        return u32At(file, (fatSector + 1) * kSector + 4 * (sector % perSector));
    };
    if (u32At(file, 0x48) != 0) {
        throw std::logic_error("fixture: too large to stamp times");
    }
    for (std::uint32_t sector = u32At(file, 0x30); sector < kLastRegular;
         sector = fatEntry(sector)) {
        for (std::size_t entry = (sector + 1) * kSector; entry < (sector + 2) * kSector;
             entry += 128) {
            const std::uint8_t type = file[entry + 0x42];
            if (type == 1) {
                putTime(file, entry + 0x64, kCreationTime);
                putTime(file, entry + 0x6C, kFileTime);
            } else if (type == 5) {
                putTime(file, entry + 0x6C, kFileTime);
            }
        }
    }
}

} // namespace

Bytes fileMoniker(std::string_view path, std::uint16_t cAnti, bool unicodeRecord,
                  std::string_view ansiPath) {
    Bytes data;
    put16(data, cAnti);
    const Bytes ansi = ansiWithNul(ansiPath.empty() ? path : ansiPath);
    put32(data, static_cast<std::uint32_t>(ansi.size()));
    append(data, ansi);
    const bool unc = path.size() > 2 && path[0] == '\\' && path[1] == '\\';
    const std::size_t serverEnd = unc ? path.find('\\', 2) : std::string_view::npos;
    put16(data,
          serverEnd == std::string_view::npos ? 0xFFFF : static_cast<std::uint16_t>(serverEnd));
    put16(data, 0xDEAD);
    data.insert(data.end(), 16 + 4, 0);
    if (unicodeRecord) {
        const Bytes unicode = toUtf16Le(path);
        put32(data, static_cast<std::uint32_t>(unicode.size() + 6));
        put32(data, static_cast<std::uint32_t>(unicode.size()));
        put16(data, 3);
        append(data, unicode);
    } else {
        put32(data, 0);
    }
    return withClsid(kFileMoniker, data);
}

Bytes itemMoniker(std::string_view delimiter, std::string_view item) {
    Bytes data;
    for (const std::string_view text : {delimiter, item}) {
        const Bytes ansi = ansiWithNul(text);
        const Bytes unicode = toUtf16Le(text);
        put32(data, static_cast<std::uint32_t>(ansi.size() + unicode.size()));
        append(data, ansi);
        append(data, unicode);
    }
    return withClsid(kItemMoniker, data);
}

Bytes antiMoniker(std::uint32_t count) {
    Bytes data;
    put32(data, count);
    return withClsid(kAntiMoniker, data);
}

Bytes compositeMoniker(const std::vector<Bytes>& parts) {
    Bytes data;
    put32(data, static_cast<std::uint32_t>(parts.size()));
    for (const Bytes& part : parts) {
        append(data, part);
    }
    return withClsid(kCompositeMoniker, data);
}

Bytes urlMoniker(std::string_view url) {
    Bytes body = toUtf16Le(url);
    put16(body, 0);
    Bytes data;
    put32(data, static_cast<std::uint32_t>(body.size()));
    append(data, body);
    return withClsid(kUrlMoniker, data);
}

Bytes linkedObjectStream(const Bytes& absoluteMoniker, const Bytes& relativeMoniker) {
    Bytes out;
    put32(out, 0x02000001); // Version
    put32(out, 1);          // Flags: linked
    put32(out, 1);          // LinkUpdateOption: automatic
    put32(out, 0);          // Reserved1
    put32(out, 0);          // ReservedMonikerStreamSize
    for (const Bytes* moniker : {&relativeMoniker, &absoluteMoniker}) {
        put32(out, moniker->empty() ? 0 : static_cast<std::uint32_t>(moniker->size() + 4));
        append(out, *moniker);
    }
    put32(out, 0xFFFFFFFF);       // ClsidIndicator
    out.insert(out.end(), 16, 0); // Clsid
    put32(out, 0);                // ReservedDisplayName
    put32(out, 0xFFFFFFFF);       // Reserved2
    for (int i = 0; i < 3; ++i) {
        writeTime(out);
    }
    return out;
}

Bytes solidEdgeLinkStream(const Bytes& absoluteMoniker, const Bytes& relativeMoniker) {
    Bytes out;
    put32(out, 0x5717'44A9); // tag, as in a real draft
    put32(out, 100);
    put32(out, 0);
    append(out, absoluteMoniker);
    put32(out, relativeMoniker.empty() ? 0 : 1);
    append(out, relativeMoniker);
    put32(out, 1);
    put32(out, 0x7523);
    return out;
}

Bytes embeddedObjectStream() {
    Bytes out;
    put32(out, 0x02000001);
    out.insert(out.end(), 16, 0);
    return out;
}

struct CompoundDocument::Node {
    std::string name;
    bool storage = true;
    const Clsid* clsid = nullptr;
    Bytes bytes;
    std::vector<std::unique_ptr<Node>> children;
};

CompoundDocument::CompoundDocument() : m_root(std::make_unique<Node>()) {}
CompoundDocument::~CompoundDocument() = default;

CompoundDocument::Node& CompoundDocument::node(const std::string& path, bool storage) {
    Node* current = m_root.get();
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string name = path.substr(start, end - start);
        const bool last = end == path.size();
        Node* found = nullptr;
        for (const auto& child : current->children) {
            if (child->name == name) {
                found = child.get();
            }
        }
        if (found == nullptr) {
            auto child = std::make_unique<Node>();
            child->name = name;
            child->storage = !last || storage;
            found = child.get();
            current->children.push_back(std::move(child));
        }
        if (found->storage != (!last || storage)) {
            throw std::logic_error("fixture: " + path + " used both as storage and stream");
        }
        current = found;
        start = end + 1;
    }
    return *current;
}

CompoundDocument& CompoundDocument::addStorage(const std::string& path) {
    node(path, true);
    return *this;
}

CompoundDocument& CompoundDocument::addStream(const std::string& path, Bytes bytes) {
    node(path, false).bytes = std::move(bytes);
    return *this;
}

CompoundDocument& CompoundDocument::addLink(const std::string& storage, const FixtureLink& link) {
    Bytes relative;
    if (!link.relativePath.empty()) {
        const auto [steps, rest] = parentSteps(link.relativePath);
        relative = fileMoniker(rest, steps);
    }
    return addLinkObject(
        storage, linkedObjectStream(fileMoniker(link.absolutePath, 0, true, link.absoluteAnsiPath),
                                    relative));
}

CompoundDocument& CompoundDocument::addSolidEdgeLink(const std::string& storage,
                                                     const FixtureLink& link) {
    Bytes relative;
    if (!link.relativePath.empty()) {
        const auto [steps, rest] = parentSteps(link.relativePath);
        relative = fileMoniker(rest, steps, false);
    }
    const Bytes absolute = fileMoniker(link.absolutePath, 0, true, link.absoluteAnsiPath);
    const std::string_view path = link.absolutePath;
    node(storage, true).clsid = path.ends_with(".asm")   ? &kAssemblyClass
                                : path.ends_with(".psm") ? &kSheetMetalClass
                                                         : &kPartClass;
    addStream(storage + "/\x01Ole", solidEdgeLinkStream(absolute, relative));
    return addStream(storage + "/JProperties", {'O', 'L', 'E', 'S', 0x40, 0, 1, 0});
}

CompoundDocument& CompoundDocument::addLinkObject(const std::string& storage, Bytes oleStream) {
    node(storage, true).clsid = &kStdOleLink;
    addStream(storage + "/\x01Ole", std::move(oleStream));
    return addStream(storage + "/JProperties", {'O', 'L', 'E', 'S', 0x40, 0, 1, 0});
}

CompoundDocument& CompoundDocument::addEmbeddedObject(const std::string& storage) {
    node(storage, true).clsid = &kEmbeddedClass;
    addStream(storage + "/\x01Ole", embeddedObjectStream());
    const std::string_view native = "native data of the embedded object";
    return addStream(storage + "/CONTENTS", Bytes(native.begin(), native.end()));
}

namespace {

// Templates, so that they can take the private node type by deduction.
template <class Node> void writeNode(GsfOutfile* parent, const Node& node) {
    GObjectPtr<GsfOutput> child(gsf_outfile_new_child(parent, node.name.c_str(), node.storage));
    if (!child) {
        throw std::runtime_error("fixture: cannot create " + node.name);
    }
    if (node.storage) {
        if (node.clsid != nullptr) {
            gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(child.get()), node.clsid->data());
        }
        for (const auto& grandchild : node.children) {
            writeNode(GSF_OUTFILE(child.get()), *grandchild);
        }
    } else if (!node.bytes.empty() &&
               !gsf_output_write(child.get(), node.bytes.size(), node.bytes.data())) {
        throw std::runtime_error("fixture: cannot write " + node.name);
    }
    gsf_output_close(child.get());
}

template <class Node> void writeTree(GsfOutput* sink, const Node& root) {
    GObjectPtr<GsfOutfile> outfile(gsf_outfile_msole_new(sink));
    for (const auto& child : root.children) {
        writeNode(outfile.get(), *child);
    }
    if (!gsf_output_close(GSF_OUTPUT(outfile.get()))) {
        throw std::runtime_error("fixture: cannot finish the document");
    }
}

} // namespace

void CompoundDocument::write(const std::string& path) const {
    const Bytes file = bytes();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    if (!out.flush()) {
        throw std::runtime_error("fixture: cannot write " + path);
    }
}

Bytes CompoundDocument::bytes() const {
    GObjectPtr<GsfOutput> sink(gsf_output_memory_new());
    writeTree(sink.get(), *m_root);
    const guint8* data = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()));
    Bytes file(data, data + gsf_output_size(sink.get()));
    stampTimes(file);
    return file;
}

void writeCompoundDocument(const std::string& path, const std::vector<FixtureLink>& links,
                           std::size_t paddingBytes) {
    CompoundDocument document;
    for (std::size_t i = 0; i < links.size(); ++i) {
        document.addSolidEdgeLink("JSite" + std::to_string(i + 1), links[i]);
    }
    if (paddingBytes > 0) {
        document.addStream("Daten", Bytes(paddingBytes, 0x5A));
    }
    document.write(path);
}

} // namespace ostrevan::fixture
