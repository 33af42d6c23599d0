#pragma once

// Compound files laid out by hand, for the tests of the compound-file reader: a valid file
// from a tree of storages and streams, and where every table entry and directory field of
// it lies, so that a test can damage exactly one of them.

#include <cstdint>
#include <string>
#include <vector>

namespace ostrevan::test {

using Bytes = std::vector<std::uint8_t>;

class CompoundWriter final {
public:
    // Version 3 with 512-byte sectors, version 4 with 4096-byte ones, or version 3 with
    // 4096-byte sectors when sectorShift says so.
    explicit CompoundWriter(std::uint16_t majorVersion = 3, std::uint16_t sectorShift = 0);

    // Entries are numbered as they are added, the root being 0; the directory holds them in
    // that order. Names are ASCII or UTF-8.
    std::uint32_t addStorage(std::uint32_t parent, const std::string& name);
    std::uint32_t addStream(std::uint32_t parent, const std::string& name, Bytes bytes);
    // Siblings as a chain of right links instead of a balanced tree (the longest walk).
    void chainSiblings() { m_chainSiblings = true; }

    // Lays the file out; the offsets below refer to the last layout.
    Bytes bytes();

    std::uint32_t sectorBytes() const { return 1u << m_sectorShift; }
    std::uint64_t sectorOffset(std::uint32_t sector) const {
        return (std::uint64_t{sector} + 1) << m_sectorShift;
    }
    // Where the FAT entry of a sector, the mini FAT entry of a mini sector and a directory
    // entry lie in the file.
    std::uint64_t fatEntryOffset(std::uint32_t sector) const;
    std::uint64_t miniFatEntryOffset(std::uint32_t miniSector) const;
    std::uint64_t directoryEntryOffset(std::uint32_t entry) const;
    // The first sector (mini sector for small streams) of an entry's data.
    std::uint32_t startSector(std::uint32_t entry) const { return m_entries[entry].start; }
    std::uint32_t fatSectorCount() const { return static_cast<std::uint32_t>(m_fat.size()); }
    std::uint32_t firstDifatSector() const { return m_firstDifat; }
    std::uint32_t rootStart() const { return m_entries[0].start; }

private:
    struct Entry {
        std::string name;
        std::uint8_t type;
        Bytes bytes;
        std::vector<std::uint32_t> children;
        std::uint32_t left = 0xFFFFFFFF;
        std::uint32_t right = 0xFFFFFFFF;
        std::uint32_t child = 0xFFFFFFFF;
        std::uint32_t start = 0;
    };
    std::uint32_t add(std::uint32_t parent, const std::string& name, std::uint8_t type,
                      Bytes bytes);
    std::uint32_t linkTree(const std::vector<std::uint32_t>& sorted, std::size_t begin,
                           std::size_t end);
    std::uint32_t chain(std::uint32_t count, std::vector<std::uint32_t>& table,
                        std::uint32_t& next);

    std::uint16_t m_majorVersion;
    std::uint16_t m_sectorShift;
    bool m_chainSiblings = false;
    std::vector<Entry> m_entries;
    // Sector numbers of the FAT sectors, of the mini FAT chain and of the directory chain.
    std::vector<std::uint32_t> m_fat;
    std::vector<std::uint32_t> m_miniFat;
    std::vector<std::uint32_t> m_directory;
    std::uint32_t m_firstDifat = 0xFFFFFFFE;
};

// Bytes that differ at every offset a read could be misplaced by.
Bytes patterned(std::size_t size, std::uint8_t seed);

// A small document: storages "JSite1" and "Daten/Tief", streams of several sizes in both
// the mini stream and regular sectors.
CompoundWriter sampleDocument(std::uint16_t majorVersion = 3);

} // namespace ostrevan::test
