#include "tests/ole/CompoundWriter.h"

#include "platform/Text.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace ostrevan::test {
namespace {

constexpr std::uint32_t kFree = 0xFFFFFFFF;
constexpr std::uint32_t kEnd = 0xFFFFFFFE;
constexpr std::uint32_t kFatMark = 0xFFFFFFFD;
constexpr std::uint32_t kDifatMark = 0xFFFFFFFC;
constexpr std::size_t kCutoff = 4096;

void put16(Bytes& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    put16(bytes, at, value & 0xFFFF);
    put16(bytes, at + 2, value >> 16);
}

std::uint32_t sectorsFor(std::uint64_t bytes, std::uint32_t unit) {
    return static_cast<std::uint32_t>((bytes + unit - 1) / unit);
}

// The directory's order: shorter names first, then by upper-cased code units.
std::pair<std::size_t, std::u16string> sortKey(const std::string& name) {
    const Bytes utf16 = toUtf16Le(name);
    std::u16string key;
    for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
        const int unit = utf16[i] | (utf16[i + 1] << 8);
        key.push_back(static_cast<char16_t>(unit < 0x80 ? std::toupper(unit) : unit));
    }
    return {key.size(), key};
}

} // namespace

CompoundWriter::CompoundWriter(std::uint16_t majorVersion, std::uint16_t sectorShift)
    : m_majorVersion(majorVersion), m_sectorShift(sectorShift != 0    ? sectorShift
                                                  : majorVersion == 4 ? 12
                                                                      : 9) {
    m_entries.push_back({"Root Entry", 5, {}, {}});
}

std::uint32_t CompoundWriter::add(std::uint32_t parent, const std::string& name, std::uint8_t type,
                                  Bytes bytes) {
    const auto id = static_cast<std::uint32_t>(m_entries.size());
    m_entries.push_back({name, type, std::move(bytes), {}});
    m_entries[parent].children.push_back(id);
    return id;
}

std::uint32_t CompoundWriter::addStorage(std::uint32_t parent, const std::string& name) {
    return add(parent, name, 1, {});
}

std::uint32_t CompoundWriter::addStream(std::uint32_t parent, const std::string& name,
                                        Bytes bytes) {
    return add(parent, name, 2, std::move(bytes));
}

std::uint32_t CompoundWriter::linkTree(const std::vector<std::uint32_t>& sorted, std::size_t begin,
                                       std::size_t end) {
    if (begin == end) {
        return kFree;
    }
    if (m_chainSiblings) {
        for (std::size_t i = begin; i + 1 < end; ++i) {
            m_entries[sorted[i]].right = sorted[i + 1];
        }
        return sorted[begin];
    }
    const std::size_t middle = begin + (end - begin) / 2;
    m_entries[sorted[middle]].left = linkTree(sorted, begin, middle);
    m_entries[sorted[middle]].right = linkTree(sorted, middle + 1, end);
    return sorted[middle];
}

std::uint32_t CompoundWriter::chain(std::uint32_t count, std::vector<std::uint32_t>& table,
                                    std::uint32_t& next) {
    if (count == 0) {
        return kEnd;
    }
    const std::uint32_t first = next;
    for (std::uint32_t i = 0; i < count; ++i, ++next) {
        table[next] = i + 1 < count ? next + 1 : kEnd;
    }
    return first;
}

Bytes CompoundWriter::bytes() {
    const std::uint32_t sectorSize = sectorBytes();
    const std::uint32_t perTable = sectorSize / 4;
    for (Entry& entry : m_entries) {
        entry.left = entry.right = entry.child = kFree;
    }
    for (Entry& entry : m_entries) {
        std::vector<std::pair<std::pair<std::size_t, std::u16string>, std::uint32_t>> keyed;
        for (const std::uint32_t child : entry.children) {
            keyed.emplace_back(sortKey(m_entries[child].name), child);
        }
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<std::uint32_t> sorted;
        for (const auto& [key, child] : keyed) {
            sorted.push_back(child);
        }
        entry.child = linkTree(sorted, 0, sorted.size());
    }

    // Small streams in the mini stream, one after the other.
    std::vector<std::uint32_t> miniTable;
    Bytes miniStream;
    for (Entry& entry : m_entries) {
        if (entry.type == 2 && entry.bytes.size() < kCutoff) {
            const std::uint32_t count = sectorsFor(entry.bytes.size(), 64);
            auto next = static_cast<std::uint32_t>(miniTable.size());
            miniTable.resize(miniTable.size() + count, kFree);
            entry.start = chain(count, miniTable, next);
            miniStream.insert(miniStream.end(), entry.bytes.begin(), entry.bytes.end());
            miniStream.resize(std::size_t{next} * 64, 0);
        }
    }
    const std::uint32_t miniFatSectors = sectorsFor(miniTable.size() * 4, sectorSize);
    const std::uint32_t directorySectors = sectorsFor(m_entries.size(), sectorSize / 128);
    const std::uint32_t miniStreamSectors = sectorsFor(miniStream.size(), sectorSize);
    std::uint32_t dataSectors = miniFatSectors + directorySectors + miniStreamSectors;
    for (const Entry& entry : m_entries) {
        if (entry.type == 2 && entry.bytes.size() >= kCutoff) {
            dataSectors += sectorsFor(entry.bytes.size(), sectorSize);
        }
    }
    std::uint32_t fatSectors = 1;
    std::uint32_t difatSectors = 0;
    for (;; ++fatSectors) {
        difatSectors = fatSectors > 109 ? sectorsFor(fatSectors - 109, perTable - 1) : 0;
        if (std::uint64_t{fatSectors} * perTable >= dataSectors + fatSectors + difatSectors) {
            break;
        }
    }

    std::vector<std::uint32_t> fat(std::size_t{fatSectors} * perTable, kFree);
    std::uint32_t next = 0;
    m_fat.clear();
    for (std::uint32_t i = 0; i < fatSectors; ++i, ++next) {
        m_fat.push_back(next);
        fat[next] = kFatMark;
    }
    std::vector<std::uint32_t> difat;
    for (std::uint32_t i = 0; i < difatSectors; ++i, ++next) {
        difat.push_back(next);
        fat[next] = kDifatMark;
    }
    m_firstDifat = difat.empty() ? kEnd : difat.front();
    const std::uint32_t firstMiniFat = chain(miniFatSectors, fat, next);
    m_miniFat.clear();
    for (std::uint32_t i = 0; i < miniFatSectors; ++i) {
        m_miniFat.push_back(firstMiniFat + i);
    }
    const std::uint32_t firstDirectory = chain(directorySectors, fat, next);
    m_directory.clear();
    for (std::uint32_t i = 0; i < directorySectors; ++i) {
        m_directory.push_back(firstDirectory + i);
    }
    m_entries[0].start = chain(miniStreamSectors, fat, next);
    m_entries[0].bytes = miniStream;
    for (std::size_t i = 1; i < m_entries.size(); ++i) {
        Entry& entry = m_entries[i];
        if (entry.type == 2 && entry.bytes.size() >= kCutoff) {
            entry.start = chain(sectorsFor(entry.bytes.size(), sectorSize), fat, next);
        }
    }

    Bytes file(sectorOffset(next), 0);
    const Bytes signature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::copy(signature.begin(), signature.end(), file.begin());
    put16(file, 0x18, 0x3E);
    put16(file, 0x1A, m_majorVersion);
    put16(file, 0x1C, 0xFFFE);
    put16(file, 0x1E, m_sectorShift);
    put16(file, 0x20, 6);
    put32(file, 0x28, m_majorVersion == 4 ? directorySectors : 0);
    put32(file, 0x2C, fatSectors);
    put32(file, 0x30, firstDirectory);
    put32(file, 0x38, kCutoff);
    put32(file, 0x3C, miniFatSectors > 0 ? firstMiniFat : kEnd);
    put32(file, 0x40, miniFatSectors);
    put32(file, 0x44, m_firstDifat);
    put32(file, 0x48, difatSectors);
    for (std::uint32_t i = 0; i < 109; ++i) {
        put32(file, 0x4C + 4 * i, i < fatSectors ? m_fat[i] : kFree);
    }
    for (std::size_t i = 0; i < fat.size(); ++i) {
        put32(file, fatEntryOffset(static_cast<std::uint32_t>(i)), fat[i]);
    }
    for (std::uint32_t d = 0; d < difatSectors; ++d) {
        const std::uint64_t base = sectorOffset(difat[d]);
        for (std::uint32_t i = 0; i + 1 < perTable; ++i) {
            const std::uint32_t index = 109 + d * (perTable - 1) + i;
            put32(file, base + 4 * i, index < fatSectors ? m_fat[index] : kFree);
        }
        put32(file, base + sectorSize - 4, d + 1 < difatSectors ? difat[d + 1] : kEnd);
    }
    for (std::size_t i = 0; i < miniFatSectors * std::size_t{perTable}; ++i) {
        put32(file, miniFatEntryOffset(static_cast<std::uint32_t>(i)),
              i < miniTable.size() ? miniTable[i] : kFree);
    }
    for (std::uint32_t i = 0; i < directorySectors * (sectorSize / 128); ++i) {
        const std::uint64_t at = directoryEntryOffset(i);
        put32(file, at + 0x44, kFree);
        put32(file, at + 0x48, kFree);
        put32(file, at + 0x4C, kFree);
        if (i >= m_entries.size()) {
            continue;
        }
        const Entry& entry = m_entries[i];
        const Bytes name = toUtf16Le(entry.name);
        std::copy(name.begin(), name.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
        put16(file, at + 0x40, static_cast<std::uint32_t>(name.size() + 2));
        file[at + 0x42] = entry.type;
        file[at + 0x43] = 1;
        put32(file, at + 0x44, entry.left);
        put32(file, at + 0x48, entry.right);
        put32(file, at + 0x4C, entry.child);
        if (entry.type != 1) {
            put32(file, at + 0x74, entry.start);
            put32(file, at + 0x78, static_cast<std::uint32_t>(entry.bytes.size()));
        }
    }
    for (const Entry& entry : m_entries) {
        if (entry.type == 5 || (entry.type == 2 && entry.bytes.size() >= kCutoff)) {
            std::copy(entry.bytes.begin(), entry.bytes.end(),
                      file.begin() + static_cast<std::ptrdiff_t>(sectorOffset(entry.start)));
        }
    }
    return file;
}

std::uint64_t CompoundWriter::fatEntryOffset(std::uint32_t sector) const {
    const std::uint32_t perTable = sectorBytes() / 4;
    return sectorOffset(m_fat[sector / perTable]) + std::uint64_t{sector % perTable} * 4;
}

std::uint64_t CompoundWriter::miniFatEntryOffset(std::uint32_t miniSector) const {
    const std::uint32_t perTable = sectorBytes() / 4;
    return sectorOffset(m_miniFat[miniSector / perTable]) +
           std::uint64_t{miniSector % perTable} * 4;
}

std::uint64_t CompoundWriter::directoryEntryOffset(std::uint32_t entry) const {
    const std::uint32_t perSector = sectorBytes() / 128;
    return sectorOffset(m_directory[entry / perSector]) + std::uint64_t{entry % perSector} * 128;
}

Bytes patterned(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251 + seed);
    }
    return bytes;
}

CompoundWriter sampleDocument(std::uint16_t majorVersion) {
    CompoundWriter writer(majorVersion);
    const std::uint32_t site = writer.addStorage(0, "JSite1");
    writer.addStream(site, "\x01Ole", patterned(100, 1));
    writer.addStream(site, "JProperties", patterned(8, 2));
    const std::uint32_t deep = writer.addStorage(writer.addStorage(0, "Daten"), "Tief");
    writer.addStream(deep, "Gross", patterned(10000, 3));
    writer.addStream(0, "Klein", patterned(300, 4));
    writer.addStream(0, "Leer", {});
    writer.addStream(0, "Grenze", patterned(4096, 5));
    writer.addStream(0, "Knapp", patterned(4095, 6));
    return writer;
}

} // namespace ostrevan::test
