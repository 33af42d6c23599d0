#include "platform/ole/CompoundFile.h"

#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/ole/ByteReader.h"

#include <algorithm>

namespace ostrevan {
namespace {

using cfb::kNoStream;

// A directory entry as stored, with its links into the tree.
struct StoredEntry {
    CompoundEntry entry;
    std::uint32_t left = kNoStream;
    std::uint32_t right = kNoStream;
    std::uint32_t child = kNoStream;
};

// What a walk of the directory needs besides the entries: the directory's sectors, the
// entries reached, the path from a child tree's root down to the entry being placed.
struct WalkMemory {
    std::vector<std::uint32_t> sectors;
    std::vector<bool> reached;
    std::vector<StoredEntry> path;
};

// The walk memory and the entries of the last walk and compound file the thread finished, for
// the next: reading one document after another allocates them once.
thread_local WalkMemory t_spareWalk;
thread_local std::vector<CompoundEntry> t_spareEntries;

// Memory a large directory needed is let go when it is done with.
constexpr std::size_t kKeptSectors = 1024;
constexpr std::size_t kKeptEntries = 1024;
constexpr std::size_t kKeptReached =
    kKeptSectors * (cfb::kMaxSectorBytes / cfb::kDirectoryEntryBytes);
constexpr std::size_t kKeptDepth = 64;

// The thread's spare walk memory, emptied, for one walk; given back when the walk is done.
class LentWalkMemory final {
public:
    LentWalkMemory() : m_memory(std::move(t_spareWalk)) { m_memory.path.clear(); }
    ~LentWalkMemory() {
        if (m_memory.sectors.capacity() <= kKeptSectors &&
            m_memory.reached.capacity() <= kKeptReached && m_memory.path.capacity() <= kKeptDepth) {
            t_spareWalk = std::move(m_memory);
        }
    }
    LentWalkMemory(const LentWalkMemory&) = delete;
    LentWalkMemory& operator=(const LentWalkMemory&) = delete;

    WalkMemory* operator->() { return &m_memory; }

private:
    WalkMemory m_memory;
};

constexpr std::uint8_t kStorageType = 1;
constexpr std::uint8_t kStreamType = 2;
constexpr std::uint8_t kRootType = 5;

// The entry in bytes, into stored; raises 321 when its name or type is not one a writer
// could have stored.
void parseEntry(std::span<const std::uint8_t, cfb::kDirectoryEntryBytes> bytes,
                std::uint16_t majorVersion, StoredEntry& stored) {
    ByteReader reader(bytes);
    const auto name = reader.bytes(64);
    const std::uint16_t nameBytes = reader.u16();
    const auto type = reader.bytes(1);
    reader.skip(1); // colour: the tree is enumerated whole, never searched
    stored.left = reader.u32();
    stored.right = reader.u32();
    stored.child = reader.u32();
    const auto classId = reader.bytes(16);
    reader.skip(4 + 8 + 8); // state bits, creation and modification time
    stored.entry.startSector = reader.u32();
    const std::uint32_t sizeLow = reader.u32();
    const std::uint32_t sizeHigh = reader.u32();
    // Old writers left garbage in the high half of a version 3 size.
    stored.entry.size = majorVersion == 3 ? sizeLow : (std::uint64_t{sizeHigh} << 32 | sizeLow);
    const bool terminated = nameBytes >= 2 && nameBytes <= 64 && nameBytes % 2 == 0 &&
                            name[nameBytes - 2] == 0 && name[nameBytes - 1] == 0;

    if (!reader.ok() || !terminated) {
        raise(err::BadFileFormat);
    }
    switch (type[0]) {
    case kStorageType:
        stored.entry.kind = CompoundEntry::Kind::Storage;
        break;
    case kStreamType:
        stored.entry.kind = CompoundEntry::Kind::Stream;
        stored.child = kNoStream; // a stream has no children, whatever the field says
        break;
    case kRootType:
        stored.entry.kind = CompoundEntry::Kind::Root;
        break;
    default:
        raise(err::BadFileFormat);
    }
    // The name ends at its first NUL, which the length must cover.
    std::size_t nameEnd = 0;
    while (name[nameEnd] != 0 || name[nameEnd + 1] != 0) {
        nameEnd += 2;
    }
    stored.entry.name = fromUtf16Le(name.first(nameEnd));
    std::copy(classId.begin(), classId.end(), stored.entry.classId.begin());
}

} // namespace

CompoundFile::CompoundFile(ByteSource& input)
    : m_header(cfb::readHeader(input)), m_sectors(input, m_header),
      m_entries(std::move(t_spareEntries)) {
    m_entries.clear();
    readDirectory();
}

CompoundFile::~CompoundFile() {
    if (m_entries.capacity() <= kKeptEntries) {
        t_spareEntries = std::move(m_entries);
    }
}

void CompoundFile::readDirectory() {
    LentWalkMemory walk;
    // The whole chain, so that every entry index can be checked against it.
    const std::vector<std::uint32_t>& directorySectors = walk->sectors;
    m_sectors.wholeChain(m_header.firstDirectorySector, walk->sectors);
    const std::uint32_t perSector = m_sectors.sectorBytes() / cfb::kDirectoryEntryBytes;
    const std::uint64_t entryCount = std::uint64_t{directorySectors.size()} * perSector;
    std::vector<bool>& reached = walk->reached;
    reached.assign(static_cast<std::size_t>(entryCount), false);
    std::array<std::uint8_t, cfb::kDirectoryEntryBytes> spare{};
    const auto readEntry = [&](std::uint32_t id, StoredEntry& stored) {
        if (id >= entryCount || reached[id]) {
            raise(err::BadFileFormat);
        }
        reached[id] = true;
        const auto bytes = m_sectors.bytesAt(directorySectors[id / perSector],
                                             id % perSector * cfb::kDirectoryEntryBytes, spare);
        parseEntry(bytes.first<cfb::kDirectoryEntryBytes>(), m_header.majorVersion, stored);
    };

    StoredEntry root;
    readEntry(0, root);
    if (root.entry.kind != CompoundEntry::Kind::Root || root.left != kNoStream ||
        root.right != kNoStream) {
        raise(err::BadFileFormat);
    }
    m_sectors.openMiniStream(root.entry.startSector, root.entry.size);
    // Room for the entries the directory's sectors can hold, but not for thousands up front: a
    // long chain of sectors with few entries in them must not reserve memory for entries that
    // are not there.
    constexpr std::uint64_t kReservedEntries = 1024;
    m_entries.reserve(static_cast<std::size_t>(std::min(entryCount, kReservedEntries)));
    // Until the children of an entry are placed, its firstChild holds the id of their tree.
    m_entries.push_back(std::move(root.entry));
    m_entries.back().firstChild = root.child;
    // The child tree of each storage in turn, breadth first, so that its children end up
    // side by side; each tree in order, iteratively, however deep it is.
    std::vector<StoredEntry>& path = walk->path;
    for (std::size_t parent = 0; parent < m_entries.size(); ++parent) {
        auto next = static_cast<std::uint32_t>(m_entries[parent].firstChild);
        m_entries[parent].firstChild = m_entries.size();
        while (next != kNoStream || !path.empty()) {
            for (; next != kNoStream; next = path.back().left) {
                readEntry(next, path.emplace_back());
                if (path.back().entry.kind == CompoundEntry::Kind::Root) {
                    raise(err::BadFileFormat);
                }
            }
            StoredEntry& stored = path.back();
            next = stored.right;
            stored.entry.parent = parent;
            stored.entry.firstChild = stored.child;
            m_entries.push_back(std::move(stored.entry));
            path.pop_back();
        }
        m_entries[parent].childCount = m_entries.size() - m_entries[parent].firstChild;
    }
}

std::optional<std::vector<std::uint8_t>> CompoundFile::read(const CompoundEntry& stream,
                                                            std::uint64_t maxBytes) {
    std::vector<std::uint8_t> bytes;
    if (!readInto(stream, bytes, maxBytes)) {
        return std::nullopt;
    }
    return bytes;
}

bool CompoundFile::readInto(const CompoundEntry& stream, std::vector<std::uint8_t>& bytes,
                            std::uint64_t maxBytes) {
    if (stream.kind != CompoundEntry::Kind::Stream) {
        return false;
    }
    const bool mini = stream.size < cfb::kMiniStreamCutoff;
    if (!mini && stream.size > m_sectors.count() * m_sectors.sectorBytes()) {
        return false;
    }
    // Checked against the file above, or below the cutoff.
    bytes.resize(static_cast<std::size_t>(std::min(stream.size, maxBytes)));
    return mini ? readMini(stream, bytes) : readRegular(stream, bytes);
}

bool CompoundFile::readRegular(const CompoundEntry& stream, std::span<std::uint8_t> bytes) {
    const std::size_t count = bytes.size();
    const std::uint32_t sectorBytes = m_sectors.sectorBytes();
    const auto sectors = m_sectors.chain(
        stream.startSector, (count + sectorBytes - 1) / sectorBytes, cfb::Sectors::Unit::Sector);
    if (!sectors) {
        return false;
    }
    // Sectors that follow each other in the file are read together.
    for (std::size_t first = 0; first < sectors->size();) {
        std::size_t last = first + 1;
        while (last < sectors->size() && (*sectors)[last] == (*sectors)[last - 1] + 1) {
            ++last;
        }
        const std::size_t begin = first * sectorBytes;
        const std::size_t end = std::min<std::size_t>(last * sectorBytes, count);
        m_sectors.read((*sectors)[first], 0, bytes.subspan(begin, end - begin));
        first = last;
    }
    return true;
}

bool CompoundFile::readMini(const CompoundEntry& stream, std::span<std::uint8_t> bytes) {
    const std::size_t count = bytes.size();
    const auto sectors = m_sectors.chain(
        stream.startSector, (count + cfb::kMiniSectorBytes - 1) / cfb::kMiniSectorBytes,
        cfb::Sectors::Unit::MiniSector);
    if (!sectors) {
        return false;
    }
    // Mini sectors that follow each other inside one sector of the mini stream are read
    // together.
    const std::uint32_t perSector = m_sectors.sectorBytes() / cfb::kMiniSectorBytes;
    for (std::size_t first = 0; first < sectors->size();) {
        std::size_t last = first + 1;
        while (last < sectors->size() && (*sectors)[last] == (*sectors)[last - 1] + 1 &&
               (*sectors)[last] % perSector != 0) {
            ++last;
        }
        const std::size_t begin = first * cfb::kMiniSectorBytes;
        const std::size_t end = std::min<std::size_t>(last * cfb::kMiniSectorBytes, count);
        if (!m_sectors.readMini((*sectors)[first], bytes.subspan(begin, end - begin))) {
            return false;
        }
        first = last;
    }
    return true;
}

} // namespace ostrevan
