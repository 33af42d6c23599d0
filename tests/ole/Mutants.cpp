#include "tests/ole/Mutants.h"

#include <algorithm>
#include <functional>

namespace ostrevan::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t get32(const Bytes& bytes, std::size_t at) {
    if (at + 4 > bytes.size()) {
        return 0xFFFFFFFF;
    }
    return static_cast<std::uint32_t>(bytes[at]) |
           (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

void put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4 && at + i < bytes.size(); ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// Where the tables and the directory of an undamaged file lie, found without trusting it.
struct Layout {
    std::uint32_t sectorBytes = 512;
    std::vector<std::size_t> fatSectors; // file offsets
    std::vector<std::size_t> directory;  // file offsets of the directory sectors
    std::size_t offset(std::uint32_t sector) const {
        return (std::size_t{sector} + 1) * sectorBytes;
    }
};

Layout layoutOf(const Bytes& file) {
    Layout layout;
    if (file.size() < 512) {
        return layout;
    }
    const unsigned shift = file[0x1E];
    layout.sectorBytes = shift == 12 ? 4096 : 512;
    const std::uint32_t fatCount = std::min<std::uint32_t>(get32(file, 0x2C), 109);
    for (std::uint32_t i = 0; i < fatCount; ++i) {
        const std::size_t at = layout.offset(get32(file, 0x4C + 4 * i));
        if (at < file.size()) {
            layout.fatSectors.push_back(at);
        }
    }
    const std::uint32_t perTable = layout.sectorBytes / 4;
    std::uint32_t sector = get32(file, 0x30);
    for (int steps = 0; steps < 100000 && layout.offset(sector) < file.size(); ++steps) {
        layout.directory.push_back(layout.offset(sector));
        const std::size_t fatIndex = sector / perTable;
        if (fatIndex >= layout.fatSectors.size()) {
            break;
        }
        sector = get32(file, layout.fatSectors[fatIndex] + (sector % perTable) * 4);
    }
    return layout;
}

template <class T> T pick(std::mt19937& random, T low, T high) {
    return std::uniform_int_distribution<T>(low, high)(random);
}

// An offset inside one of the regions, or anywhere when there are none.
std::size_t offsetIn(const std::vector<std::size_t>& starts, std::size_t length, const Bytes& file,
                     std::mt19937& random) {
    if (starts.empty()) {
        return pick<std::size_t>(random, 0, file.size() - 1);
    }
    const std::size_t start = starts[pick<std::size_t>(random, 0, starts.size() - 1)];
    return std::min(file.size() - 1, start + pick<std::size_t>(random, 0, length - 1));
}

} // namespace

std::size_t rootEntryOffset(const Bytes& file) {
    const Layout layout = layoutOf(file);
    return layout.directory.empty() ? 0 : layout.directory.front();
}

std::vector<Mutant> mutantsOf(const Bytes& file, int count, std::mt19937& random) {
    const Layout layout = layoutOf(file);
    const std::uint32_t sectors = static_cast<std::uint32_t>(file.size() / layout.sectorBytes) + 1;
    const std::size_t entries = layout.directory.size() * (layout.sectorBytes / 128);
    const auto entryOffset = [&](std::size_t entry) {
        const std::size_t perSector = layout.sectorBytes / 128;
        return layout.directory[entry / perSector] + entry % perSector * 128;
    };
    const auto randomEntry = [&] {
        return pick<std::size_t>(random, 0, entries - 1);
    };
    const std::vector<std::size_t> header{0};

    std::vector<std::function<std::string(Bytes&)>> kinds = {
        [&](Bytes& bytes) {
            const std::size_t at = offsetIn(header, 512, bytes, random);
            bytes[at] ^= static_cast<std::uint8_t>(1u << pick(random, 0, 7));
            return "header bit flip at " + std::to_string(at);
        },
        [&](Bytes& bytes) {
            const std::size_t at = offsetIn(layout.fatSectors, layout.sectorBytes, bytes, random);
            bytes[at] = static_cast<std::uint8_t>(pick(random, 0, 255));
            return "FAT byte at " + std::to_string(at);
        },
        [&](Bytes& bytes) {
            const std::size_t at = offsetIn(layout.directory, layout.sectorBytes, bytes, random);
            bytes[at] ^= static_cast<std::uint8_t>(1u << pick(random, 0, 7));
            return "directory bit flip at " + std::to_string(at);
        },
        [&](Bytes& bytes) {
            const std::size_t size = pick<std::size_t>(random, 0, bytes.size() - 1);
            bytes.resize(size);
            return "cut to " + std::to_string(size) + " bytes";
        },
        [&](Bytes& bytes) {
            // A FAT entry pointing back to a sector at or before its own.
            if (layout.fatSectors.empty()) {
                return std::string("no FAT");
            }
            const std::uint32_t sector = pick<std::uint32_t>(
                random, 0,
                std::min<std::uint32_t>(sectors,
                                        static_cast<std::uint32_t>(layout.fatSectors.size()) *
                                            (layout.sectorBytes / 4)) -
                    1);
            const std::uint32_t target = pick<std::uint32_t>(random, 0, sector);
            put32(bytes,
                  layout.fatSectors[sector / (layout.sectorBytes / 4)] +
                      sector % (layout.sectorBytes / 4) * 4,
                  target);
            return "FAT loop " + std::to_string(sector) + " -> " + std::to_string(target);
        },
        [&](Bytes& bytes) {
            // A DIFAT that claims many sectors and links to itself or into the data.
            const std::uint32_t sector = pick<std::uint32_t>(random, 0, sectors);
            put32(bytes, 0x44, sector);
            put32(bytes, 0x48, pick<std::uint32_t>(random, 1, 0xFFFFFFFF));
            put32(bytes, 0x2C, pick<std::uint32_t>(random, 110, 0xFFFFFFFF));
            put32(bytes, layout.offset(sector) + layout.sectorBytes - 4, sector);
            return "DIFAT loop at sector " + std::to_string(sector);
        },
        [&](Bytes& bytes) {
            if (entries == 0) {
                return std::string("no directory");
            }
            const std::size_t entry = randomEntry();
            const std::uint32_t size = pick(random, 0, 1) == 0
                                           ? pick<std::uint32_t>(random, 0, 0xFFFFFFFF)
                                           : static_cast<std::uint32_t>(bytes.size()) +
                                                 pick<std::uint32_t>(random, 0, 100000);
            put32(bytes, entryOffset(entry) + 0x78, size);
            put32(bytes, entryOffset(entry) + 0x7C, pick(random, 0, 1) * 0xFFFFFFFFu);
            return "entry " + std::to_string(entry) + " size " + std::to_string(size);
        },
        [&](Bytes& bytes) {
            if (entries == 0) {
                return std::string("no directory");
            }
            // A sibling or child link back to the entry itself, the root or another entry.
            const std::size_t entry = randomEntry();
            const std::size_t field = 0x44 + 4 * pick<std::size_t>(random, 0, 2);
            const std::uint32_t target = pick(random, 0, 2) == 0 ? 0
                                         : pick(random, 0, 1) == 0
                                             ? static_cast<std::uint32_t>(entry)
                                             : static_cast<std::uint32_t>(randomEntry());
            put32(bytes, entryOffset(entry) + field, target);
            return "entry " + std::to_string(entry) + " link " + std::to_string(field) + " -> " +
                   std::to_string(target);
        },
        [&](Bytes& bytes) {
            if (entries == 0) {
                return std::string("no directory");
            }
            const std::size_t entry = randomEntry();
            put32(bytes, entryOffset(entry) + 0x74, pick<std::uint32_t>(random, 0, 0xFFFFFFFF));
            return "entry " + std::to_string(entry) + " start sector";
        },
    };

    std::vector<Mutant> mutants;
    for (int i = 0; i < count; ++i) {
        Mutant mutant{"", file};
        const std::size_t changes = pick<std::size_t>(random, 1, 3);
        for (std::size_t change = 0; change < changes && !mutant.bytes.empty(); ++change) {
            const auto& kind = kinds[pick<std::size_t>(random, 0, kinds.size() - 1)];
            mutant.what += (mutant.what.empty() ? "" : ", ") + kind(mutant.bytes);
        }
        mutants.push_back(std::move(mutant));
    }
    return mutants;
}

} // namespace ostrevan::test
