#pragma once

// Compound documents with link objects, written through libgsf's writer, for tests,
// benchmarks and fuzz seeds; their storages carry creation and modification times as Solid
// Edge's do. Paths inside a document use '/' between storages ("Model/JSite1").

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevan::fixture {

using Bytes = std::vector<std::uint8_t>;

// MONIKERSTREAMs: class id + the moniker's saved data.
// A file moniker; unicodeRecord adds the Unicode path record Windows writes for every path;
// ansiPath, when given, is the ANSI form (e.g. the 8.3 one) beside that record.
Bytes fileMoniker(std::string_view path, std::uint16_t cAnti = 0, bool unicodeRecord = true,
                  std::string_view ansiPath = {});
Bytes itemMoniker(std::string_view delimiter, std::string_view item);
Bytes antiMoniker(std::uint32_t count);
Bytes compositeMoniker(const std::vector<Bytes>& parts);
Bytes urlMoniker(std::string_view url);

// "\x01Ole" stream contents. An empty relativeMoniker writes none.
Bytes linkedObjectStream(const Bytes& absoluteMoniker, const Bytes& relativeMoniker = {});
// The same in Solid Edge's own layout of a link site: tag, 100, a zero word, the absolute
// moniker, u32 1 and the relative moniker (u32 0 when there is none), a trailer.
Bytes solidEdgeLinkStream(const Bytes& absoluteMoniker, const Bytes& relativeMoniker = {});
Bytes embeddedObjectStream();

// A link: both paths as file monikers, the leading "..\" steps of the relative path in cAnti.
struct FixtureLink {
    std::string absolutePath;   // "C:\\Data\\Welle.par"
    std::string relativePath{}; // "..\\Teile\\Welle.par"; empty: no relative moniker
    // The ANSI form of the absolute path, e.g. the 8.3 form "C:\\PROGRA~1\\Welle.par" that
    // Solid Edge writes beside the long path; empty: the long path.
    std::string absoluteAnsiPath{};
};

class CompoundDocument final {
public:
    CompoundDocument();
    ~CompoundDocument();
    CompoundDocument(const CompoundDocument&) = delete;
    CompoundDocument& operator=(const CompoundDocument&) = delete;

    // The storage and every storage above it.
    CompoundDocument& addStorage(const std::string& path);
    // A stream; the storages above it are added as needed.
    CompoundDocument& addStream(const std::string& path, Bytes bytes);
    // A link object: storage with the class id of OLE links, "\x01Ole" and "JProperties".
    CompoundDocument& addLink(const std::string& storage, const FixtureLink& link);
    // A link site as Solid Edge writes it: storage with the class id of the linked document
    // (part, sheet metal or assembly by its extension), "\x01Ole" in Solid Edge's layout
    // (absolute moniker with its Unicode record, relative moniker ANSI only) and "JProperties".
    CompoundDocument& addSolidEdgeLink(const std::string& storage, const FixtureLink& link);
    // The same with any "\x01Ole" content (odd or damaged monikers).
    CompoundDocument& addLinkObject(const std::string& storage, Bytes oleStream);
    // An embedded object: "\x01Ole" with Flags 0 and "CONTENTS".
    CompoundDocument& addEmbeddedObject(const std::string& storage);

    // Throws std::runtime_error when the file cannot be written.
    void write(const std::string& path) const;
    Bytes bytes() const;

private:
    struct Node;
    Node& node(const std::string& path, bool storage);
    std::unique_ptr<Node> m_root;
};

// Storages JSite1 .. JSiteN, one Solid Edge link site each, and, when paddingBytes > 0, a
// stream "Daten" of that many bytes that the link reader never needs to read.
void writeCompoundDocument(const std::string& path, const std::vector<FixtureLink>& links,
                           std::size_t paddingBytes = 0);

} // namespace ostrevan::fixture
