#pragma once

#include "platform/ole/ByteSource.h"
#include "platform/ole/CompoundHeader.h"
#include "platform/ole/CompoundSectors.h"

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ostrevan {

// One storage or stream of a compound file.
struct CompoundEntry {
    enum class Kind { Root, Storage, Stream };
    Kind kind = Kind::Root;
    std::string name; // UTF-8
    std::array<std::uint8_t, 16> classId{};
    // Streams only.
    std::uint64_t size = 0;
    std::uint32_t startSector = 0;
    // Positions in CompoundFile::entries(); the root is its own parent.
    std::size_t parent = 0;
    std::size_t firstChild = 0;
    std::size_t childCount = 0;
};

// A compound file ([MS-CFB], versions 3 and 4) read-only. Opening reads the header, walks
// the directory and follows the chains of the mini stream and the mini FAT; stream bytes
// are read when asked for. Every chain is bounded by the file's
// size, every directory entry is reached at most once, and nothing is allocated from a
// declared size before it is checked against the file, so any input ends in time linear in
// its size. Damage to the header, the allocation tables or the directory raises 321; damage
// to one stream (a broken chain, a size beyond the file) makes only that stream unreadable.
class CompoundFile final {
public:
    // The input must outlive the compound file. Raises 321.
    explicit CompoundFile(ByteSource& input);
    // Leaves the memory of its entries to the next compound file the thread opens.
    ~CompoundFile();
    CompoundFile(const CompoundFile&) = delete;
    CompoundFile& operator=(const CompoundFile&) = delete;

    // The root first; the children of every storage follow each other, in the order of the
    // directory's sibling tree (by name length, then by name without regard to case).
    const std::vector<CompoundEntry>& entries() const { return m_entries; }
    const CompoundEntry& root() const { return m_entries.front(); }
    std::span<const CompoundEntry> children(const CompoundEntry& storage) const {
        return std::span(m_entries).subspan(storage.firstChild, storage.childCount);
    }

    // The first maxBytes bytes of a stream, or all of them; nothing when the stream itself is
    // damaged. Raises 321 when a table the stream needs is damaged.
    std::optional<std::vector<std::uint8_t>>
    read(const CompoundEntry& stream,
         std::uint64_t maxBytes = std::numeric_limits<std::uint64_t>::max());
    // The same into bytes, whose memory a reader of many streams uses again; false (and bytes
    // unspecified) when the stream is damaged.
    bool readInto(const CompoundEntry& stream, std::vector<std::uint8_t>& bytes,
                  std::uint64_t maxBytes = std::numeric_limits<std::uint64_t>::max());

private:
    void readDirectory();
    bool readRegular(const CompoundEntry& stream, std::span<std::uint8_t> bytes);
    bool readMini(const CompoundEntry& stream, std::span<std::uint8_t> bytes);

    cfb::Header m_header;
    cfb::Sectors m_sectors;
    std::vector<CompoundEntry> m_entries;
};

} // namespace ostrevan
