#include "platform/ole/CompoundSectors.h"

#include "platform/Error.h"

#include <algorithm>
#include <array>
#include <span>

namespace ostrevan::cfb {
namespace {

std::uint32_t littleEndian32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

} // namespace

Sectors::Sectors(ByteSource& input, const Header& header)
    : m_input(input), m_header(header),
      m_count(input.size() <= header.sectorBytes() ? 0 : (input.size() - 1) / header.sectorBytes()),
      m_entriesPerSector(header.sectorBytes() / 4) {
    // Counts of table sectors that the file cannot hold.
    if (header.fatSectors > m_count || header.difatSectors > m_count ||
        header.miniFatSectors > m_count) {
        raise(err::BadFileFormat);
    }
    const auto listed = std::span(m_tableSectors).first(header.listedFatSectors());
    std::copy_n(header.difat.begin(), listed.size(), listed.begin());
    std::sort(listed.begin(), listed.end());
}

// Writers that place the allocation table after the data put its sectors side by side, one
// for every 128 sectors of the file: a page fetched next to them would be filled with table
// entries for parts of the file that the reader never looks at. The table sectors at either
// end of what could be fetched are left there (only those the header lists).
ByteRange Sectors::worthFetching(ByteRange asked, ByteRange within) {
    const auto table = std::span(m_tableSectors).first(m_header.listedFatSectors());
    // Counted from the header as 0: sector n is position n + 1.
    const auto before = [](std::uint32_t sector, std::uint64_t position) {
        return std::uint64_t{sector} + 1 < position;
    };
    ByteRange worth = within;
    std::uint64_t position = worth.begin / sectorBytes();
    for (auto sector = std::lower_bound(table.begin(), table.end(), position, before);
         worth.begin < asked.begin && sector != table.end() &&
         *sector + std::uint64_t{1} == position;
         ++sector, ++position) {
        worth.begin = (position + 1) * sectorBytes();
    }
    position = (worth.end - 1) / sectorBytes();
    for (auto sector = std::lower_bound(table.begin(), table.end(), position + 1, before);
         worth.end > asked.end && sector != table.begin() &&
         *(sector - 1) + std::uint64_t{1} == position;
         --sector, --position) {
        worth.end = position * sectorBytes();
    }
    return worth;
}

// Opening reads the directory's first sector, and the mini FAT's and the mini stream's for
// nearly every small stream; writers mostly put them side by side.
bool Sectors::soonNeeded(ByteRange bytes) {
    const auto within = [&](std::uint32_t sector) {
        const std::uint64_t start = (std::uint64_t{sector} + 1) * sectorBytes();
        return holds(sector) && start < bytes.end && bytes.begin < start + sectorBytes();
    };
    return within(m_header.firstDirectorySector) ||
           (m_header.miniFatSectors > 0 && within(m_header.firstMiniFatSector)) ||
           (!m_miniStreamSectors.empty() && within(m_miniStreamSectors.front()));
}

void Sectors::read(std::uint32_t sector, std::uint32_t offset, std::span<std::uint8_t> target) {
    const std::uint64_t start = (std::uint64_t{sector} + 1) * sectorBytes() + offset;
    const std::uint64_t size = m_input.size();
    const std::size_t present =
        start >= size
            ? 0
            : static_cast<std::size_t>(std::min<std::uint64_t>(target.size(), size - start));
    if (present > 0 && !m_input.readAdvised(*this, start, target.first(present))) {
        raise(err::BadFileFormat);
    }
    std::fill(target.begin() + static_cast<std::ptrdiff_t>(present), target.end(), 0);
}

std::span<const std::uint8_t> Sectors::bytesAt(std::uint32_t sector, std::uint32_t offset,
                                               std::span<std::uint8_t> spare) {
    const std::uint64_t start = (std::uint64_t{sector} + 1) * sectorBytes() + offset;
    if (const auto held = m_input.viewAdvised(*this, start, spare.size()); !held.empty()) {
        return held;
    }
    read(sector, offset, spare);
    return spare;
}

void Sectors::load(TableSector& table, std::uint64_t index, std::uint32_t sector) {
    table.index = ~std::uint64_t{0};
    const auto entries = std::span(table.entries).first(m_entriesPerSector);
    // The sector's bytes land in the entries and are decoded in place, entry by entry.
    const auto bytes = std::as_writable_bytes(entries);
    read(sector, 0, {reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()});
    for (std::uint32_t& entry : entries) {
        entry = littleEndian32(reinterpret_cast<const std::uint8_t*>(&entry));
    }
    table.index = index;
}

std::uint32_t Sectors::difatSectorAt(std::uint64_t index) {
    if (index >= m_header.difatSectors) {
        raise(err::BadFileFormat);
    }
    while (m_difatChain.size() <= index) {
        std::uint32_t sector = m_header.firstDifatSector;
        if (!m_difatChain.empty()) {
            std::array<std::uint8_t, 4> next{};
            read(m_difatChain.back(), sectorBytes() - 4, next);
            sector = littleEndian32(next.data());
        }
        if (!holds(sector)) {
            raise(err::BadFileFormat);
        }
        m_difatChain.push_back(sector);
    }
    return m_difatChain[static_cast<std::size_t>(index)];
}

std::uint32_t Sectors::fatSectorAt(std::uint64_t index) {
    if (index >= m_header.fatSectors) {
        raise(err::BadFileFormat);
    }
    std::uint32_t sector = 0;
    if (index < kHeaderDifatEntries) {
        sector = m_header.difat[static_cast<std::size_t>(index)];
    } else {
        // Each DIFAT sector lists one FAT sector less than it could: its last entry links on.
        const std::uint64_t perDifatSector = m_entriesPerSector - 1;
        const std::uint64_t beyond = index - kHeaderDifatEntries;
        std::array<std::uint8_t, 4> entry{};
        read(difatSectorAt(beyond / perDifatSector),
             static_cast<std::uint32_t>(beyond % perDifatSector * 4), entry);
        sector = littleEndian32(entry.data());
    }
    if (!holds(sector)) {
        raise(err::BadFileFormat);
    }
    return sector;
}

std::uint32_t Sectors::next(std::uint32_t sector) {
    const std::uint64_t index = sector / m_entriesPerSector;
    if (m_fat.index != index) {
        load(m_fat, index, fatSectorAt(index));
    }
    return m_fat.entries[sector % m_entriesPerSector];
}

void Sectors::wholeChain(std::uint32_t start, std::vector<std::uint32_t>& sectors) {
    // Structure chains are short, mostly: room for a few sectors up front.
    constexpr std::uint64_t kReservedSectors = 16;
    sectors.clear();
    sectors.reserve(static_cast<std::size_t>(std::min(m_count, kReservedSectors)));
    // A chain longer than the file has sectors loops.
    for (std::uint32_t sector = start; sector != kEndOfChain; sector = next(sector)) {
        if (!holds(sector) || sectors.size() >= m_count) {
            raise(err::BadFileFormat);
        }
        sectors.push_back(sector);
    }
}

std::optional<std::span<const std::uint32_t>> Sectors::chain(std::uint32_t start,
                                                             std::uint64_t length, Unit unit) {
    const bool mini = unit == Unit::MiniSector;
    if (length > (mini ? m_miniStreamSize / kMiniSectorBytes + 1 : m_count)) {
        return std::nullopt;
    }
    std::vector<std::uint32_t>& sectors = m_chain;
    sectors.clear();
    sectors.reserve(static_cast<std::size_t>(length));
    for (std::uint32_t sector = start; sectors.size() < length;
         sector = mini ? nextMini(sector) : next(sector)) {
        if (!(mini ? holdsMini(sector) : holds(sector))) {
            return std::nullopt;
        }
        sectors.push_back(sector);
        if (sectors.size() == length) {
            break;
        }
    }
    // A walk that came back to a sector it had passed is a chain that never ends.
    m_sortedChain.assign(sectors.begin(), sectors.end());
    std::sort(m_sortedChain.begin(), m_sortedChain.end());
    if (std::adjacent_find(m_sortedChain.begin(), m_sortedChain.end()) != m_sortedChain.end()) {
        return std::nullopt;
    }
    return std::span<const std::uint32_t>(sectors);
}

void Sectors::openMiniStream(std::uint32_t start, std::uint64_t size) {
    m_miniStreamSize = size;
    if (size > 0) {
        wholeChain(start, m_miniStreamSectors);
        if (size > std::uint64_t{m_miniStreamSectors.size()} * sectorBytes()) {
            raise(err::BadFileFormat);
        }
    }
    // Its length is declared in the header; a chain that runs on has been broken into.
    if (m_header.miniFatSectors > 0) {
        wholeChain(m_header.firstMiniFatSector, m_miniFatSectors);
        if (m_miniFatSectors.size() != m_header.miniFatSectors) {
            raise(err::BadFileFormat);
        }
    }
}

bool Sectors::holdsMini(std::uint32_t miniSector) const {
    return miniSector <= kMaxRegularSector &&
           std::uint64_t{miniSector} * kMiniSectorBytes < m_miniStreamSize;
}

std::uint32_t Sectors::nextMini(std::uint32_t miniSector) {
    const std::uint64_t index = miniSector / m_entriesPerSector;
    if (m_miniFat.index != index) {
        if (index >= m_miniFatSectors.size()) {
            raise(err::BadFileFormat);
        }
        load(m_miniFat, index, m_miniFatSectors[static_cast<std::size_t>(index)]);
    }
    return m_miniFat.entries[miniSector % m_entriesPerSector];
}

bool Sectors::readMini(std::uint32_t miniSector, std::span<std::uint8_t> target) {
    const std::uint64_t position = std::uint64_t{miniSector} * kMiniSectorBytes;
    if (position + target.size() > m_miniStreamSize) {
        return false;
    }
    read(m_miniStreamSectors[static_cast<std::size_t>(position / sectorBytes())],
         static_cast<std::uint32_t>(position % sectorBytes()), target);
    return true;
}

} // namespace ostrevan::cfb
