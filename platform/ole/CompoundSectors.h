#pragma once

#include "platform/ole/ByteSource.h"
#include "platform/ole/CompoundHeader.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ostrevan::cfb {

// The sectors of a compound file, its allocation tables and its mini stream. A table sector
// is read when a chain first needs it, one at a time, never the whole table. Raises 321 when
// the structure itself is damaged: a FAT sector that the header's count or the DIFAT does
// not provide, a mini FAT or mini stream chain that breaks or loops, a sector the file does
// not hold.
class Sectors final : private FetchAdvice {
public:
    Sectors(ByteSource& input, const Header& header);

    std::uint32_t sectorBytes() const { return m_header.sectorBytes(); }
    // How many sectors the file holds, the last one possibly cut short.
    std::uint64_t count() const { return m_count; }
    bool holds(std::uint32_t sector) const {
        return sector <= kMaxRegularSector && sector < m_count;
    }
    // Bytes of consecutive sectors the file holds, from offset within the first on; what
    // lies past the end of the file reads as zeros. Raises 321 when the file cannot be read.
    void read(std::uint32_t sector, std::uint32_t offset, std::span<std::uint8_t> target);
    // The same bytes, spare.size() of them, where the input holds them in memory (valid until
    // the next read), else copied into spare.
    std::span<const std::uint8_t> bytesAt(std::uint32_t sector, std::uint32_t offset,
                                          std::span<std::uint8_t> spare);

    // A chain of structure followed to its end, into sectors (emptied first); raises 321 when
    // it breaks or loops.
    void wholeChain(std::uint32_t start, std::vector<std::uint32_t>& sectors);
    // The first length sectors (or mini sectors) of a stream's chain, valid until the next
    // call; nothing when the chain breaks before (ends early, holds a special value or a sector
    // the file or the mini stream does not hold) or loops.
    enum class Unit { Sector, MiniSector };
    std::optional<std::span<const std::uint32_t>> chain(std::uint32_t start, std::uint64_t length,
                                                        Unit unit);

    // The mini stream is the root entry's data. Follows its chain and the mini FAT's, which
    // every small stream needs; raises 321 when either breaks, loops, is shorter than the
    // mini stream's size or longer than the header's count of mini FAT sectors.
    void openMiniStream(std::uint32_t start, std::uint64_t size);
    // Bytes of a mini sector, from its start, running on into the mini sectors after it in the
    // same sector; false when they run past the mini stream's size.
    bool readMini(std::uint32_t miniSector, std::span<std::uint8_t> target);

private:
    // One sector of a table, decoded; chains mostly run through a table in order. Room for
    // the entries of the largest sectors.
    struct TableSector {
        std::uint64_t index = ~std::uint64_t{0};
        std::array<std::uint32_t, kMaxSectorBytes / 4> entries;
    };
    std::uint32_t next(std::uint32_t sector);
    std::uint32_t nextMini(std::uint32_t miniSector);
    bool holdsMini(std::uint32_t miniSector) const;
    std::uint32_t fatSectorAt(std::uint64_t index);
    std::uint32_t difatSectorAt(std::uint64_t index);
    void load(TableSector& table, std::uint64_t index, std::uint32_t sector);
    ByteRange worthFetching(ByteRange asked, ByteRange within) override;
    bool soonNeeded(ByteRange bytes) override;

    ByteSource& m_input;
    const Header m_header;
    std::uint64_t m_count;
    std::uint32_t m_entriesPerSector;
    TableSector m_fat;
    TableSector m_miniFat;
    std::vector<std::uint32_t> m_difatChain;
    std::vector<std::uint32_t> m_miniFatSectors;
    std::uint64_t m_miniStreamSize = 0;
    std::vector<std::uint32_t> m_miniStreamSectors;
    // The last stream chain followed, and the same sorted to find a loop; kept for the next.
    std::vector<std::uint32_t> m_chain;
    std::vector<std::uint32_t> m_sortedChain;
    // The allocation table's sectors that the header lists, in order.
    std::array<std::uint32_t, kHeaderDifatEntries> m_tableSectors{};
};

} // namespace ostrevan::cfb
