#pragma once

// The header of a compound file ([MS-CFB]) and the special values of its tables.

#include "platform/ole/ByteSource.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace ostrevan::cfb {

inline constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
inline constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
inline constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
inline constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
inline constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
inline constexpr std::uint32_t kMaxRegularId = 0xFFFFFFFA;
inline constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

inline constexpr std::size_t kHeaderBytes = 512;
inline constexpr std::size_t kMaxSectorBytes = 4096;
inline constexpr std::size_t kHeaderDifatEntries = 109;
inline constexpr std::size_t kDirectoryEntryBytes = 128;
inline constexpr std::size_t kMiniSectorBytes = 64;
// Streams below this size live in mini sectors.
inline constexpr std::uint64_t kMiniStreamCutoff = 4096;

struct Header {
    std::uint16_t majorVersion = 0;
    // 9 (512-byte sectors) or 12 (4096-byte sectors).
    std::uint16_t sectorShift = 0;
    std::uint32_t fatSectors = 0;
    std::uint32_t firstDirectorySector = 0;
    std::uint32_t firstMiniFatSector = 0;
    std::uint32_t miniFatSectors = 0;
    std::uint32_t firstDifatSector = 0;
    std::uint32_t difatSectors = 0;
    // The first FAT sectors, as many as there are (at most all 109).
    std::array<std::uint32_t, kHeaderDifatEntries> difat{};

    std::uint32_t sectorBytes() const { return std::uint32_t{1} << sectorShift; }
    // How many of difat are FAT sectors.
    std::size_t listedFatSectors() const {
        return std::min<std::size_t>(fatSectors, kHeaderDifatEntries);
    }
};

// Reads and checks the header: signature, byte order, version 3 or 4, 512-byte sectors
// with version 3 and 4096-byte ones with either version (version 3 files with large sectors
// exist and other readers accept them), 64-byte mini sectors, the 4096-byte mini stream
// cutoff. Raises 321 when any of them is wrong or the file is shorter than a header.
Header readHeader(ByteSource& input);

} // namespace ostrevan::cfb
