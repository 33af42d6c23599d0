#pragma once

// Compound documents with link objects, written through libgsf's writer, for tests and
// benchmarks. Paths inside a document use '/' between storages ("Model/JSite1").

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevan::fixture {

using Bytes = std::vector<std::uint8_t>;

// MONIKERSTREAMs: class id + the moniker's saved data.
// A file moniker; unicodeRecord adds the Unicode path record Windows writes for every path.
Bytes fileMoniker(std::string_view path, std::uint16_t cAnti = 0, bool unicodeRecord = true);
Bytes itemMoniker(std::string_view delimiter, std::string_view item);
Bytes antiMoniker(std::uint32_t count);
Bytes compositeMoniker(const std::vector<Bytes>& parts);
Bytes urlMoniker(std::string_view url);

// "\x01Ole" stream contents. An empty relativeMoniker writes none.
Bytes linkedObjectStream(const Bytes& absoluteMoniker, const Bytes& relativeMoniker = {});
Bytes embeddedObjectStream();

// A link the way Solid Edge stores it: both paths as file monikers with Unicode records, the
// leading "..\" steps of the relative path in cAnti.
struct FixtureLink {
    std::string absolutePath;   // "C:\\Data\\Welle.par"
    std::string relativePath{}; // "..\\Teile\\Welle.par"; empty: no relative moniker
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

// Storages JSite1 .. JSiteN, one link each, and, when paddingBytes > 0, a stream "Daten" of
// that many bytes that the link reader never needs to read.
void writeCompoundDocument(const std::string& path, const std::vector<FixtureLink>& links,
                           std::size_t paddingBytes = 0);

} // namespace ostrevan::fixture
