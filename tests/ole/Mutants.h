#pragma once

// Damaged copies of a compound file, made the ways files get damaged or are made hostile:
// flipped bits in the header, the tables and the directory, cut-off files, loops in FAT and
// DIFAT chains, sizes beyond the file, directory entries that point back into the tree.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace ostrevan::test {

struct Mutant {
    std::string what; // e.g. "fat loop at sector 12"
    std::vector<std::uint8_t> bytes;
};

// Where the root entry (the first directory entry) of an undamaged file starts.
std::size_t rootEntryOffset(const std::vector<std::uint8_t>& file);

// count mutants of file, the same ones for the same random state.
std::vector<Mutant> mutantsOf(const std::vector<std::uint8_t>& file, int count,
                              std::mt19937& random);

} // namespace ostrevan::test
