// The compound-file reader on files laid out by hand: what it reads, each rule it checks,
// and what it leaves unread.
#include "platform/ole/CompoundFile.h"

#include "platform/Error.h"
#include "tests/ole/CompoundTrees.h"
#include "tests/ole/CompoundWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <thread>

namespace ostrevan {
namespace {

using test::Bytes;
using test::CompoundWriter;
using test::Tree;

void put16(Bytes& bytes, std::uint64_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(Bytes& bytes, std::uint64_t at, std::uint32_t value) {
    put16(bytes, at, static_cast<std::uint16_t>(value));
    put16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

constexpr std::uint32_t kEnd = 0xFFFFFFFE;
constexpr std::uint32_t kFree = 0xFFFFFFFF;

// Entries of the sample document, in the order it adds them.
enum SampleEntry : std::uint32_t {
    Root,
    JSite1,
    Ole,
    JProperties,
    Daten,
    Tief,
    Gross, // 10000 bytes: 20 regular sectors
    Klein, // 300 bytes: 5 mini sectors
    Leer,
    Grenze, // 4096 bytes: the smallest regular stream
    Knapp,  // 4095 bytes: the largest small one
};

TEST(CompoundFile, ReadsEveryStorageAndStreamAsWritten) {
    for (const auto& [major, shift] : {std::pair{3, 9}, std::pair{4, 12}, std::pair{3, 12}}) {
        SCOPED_TRACE("version " + std::to_string(major) + ", sector shift " +
                     std::to_string(shift));
        CompoundWriter writer(static_cast<std::uint16_t>(major), static_cast<std::uint16_t>(shift));
        const std::uint32_t site = writer.addStorage(0, "JSite1");
        writer.addStream(site, "\x01Ole", test::patterned(248, 1));
        writer.addStream(writer.addStorage(writer.addStorage(0, "Daten"), "Tief"), "Gross",
                         test::patterned(70000, 2));
        writer.addStream(0, "Grenze", test::patterned(4096, 3));
        writer.addStream(0, "Knapp", test::patterned(4095, 4));
        writer.addStream(0, "Leer", {});
        writer.addStream(0, "Größe", test::patterned(10, 5));
        const auto tree = test::readTree(writer.bytes());
        ASSERT_TRUE(tree.has_value());
        const Tree expected = {
            {"JSite1", {true, std::nullopt}},
            {"JSite1/\x01Ole", {false, test::patterned(248, 1)}},
            {"Daten", {true, std::nullopt}},
            {"Daten/Tief", {true, std::nullopt}},
            {"Daten/Tief/Gross", {false, test::patterned(70000, 2)}},
            {"Grenze", {false, test::patterned(4096, 3)}},
            {"Knapp", {false, test::patterned(4095, 4)}},
            {"Leer", {false, Bytes{}}},
            {"Größe", {false, test::patterned(10, 5)}},
        };
        EXPECT_EQ(test::describeDifferences(*tree, expected), "");
    }
}

TEST(CompoundFile, ListsTheChildrenOfAStorageTogetherInTheDirectorysOrder) {
    CompoundWriter writer;
    for (const char* name : {"b", "JSite10", "JSite2", "A", "jsite1", "Zwei"}) {
        writer.addStream(0, name, test::patterned(3, 0));
    }
    const std::uint32_t storage = writer.addStorage(0, "Lager");
    writer.addStream(storage, "Innen", {});
    const Bytes bytes = writer.bytes();
    MemoryInput input(bytes);
    const CompoundFile file(input);
    std::vector<std::string> names;
    for (const CompoundEntry& child : file.children(file.root())) {
        names.push_back(child.name);
        EXPECT_EQ(child.parent, 0u);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"A", "b", "Zwei", "Lager", "jsite1", "JSite2", "JSite10"}));
    const CompoundEntry& lager = file.children(file.root())[3];
    ASSERT_EQ(lager.kind, CompoundEntry::Kind::Storage);
    ASSERT_EQ(file.children(lager).size(), 1u);
    EXPECT_EQ(file.children(lager)[0].name, "Innen");
    EXPECT_EQ(&file.entries()[file.children(lager)[0].parent], &lager);
}

enum class Outcome { Refused, OneStreamUnreadable, Unchanged };

struct DamageCase {
    const char* what;
    std::function<void(Bytes&, const CompoundWriter&)> damage;
    Outcome outcome;
    const char* unreadable = "";
};

void PrintTo(const DamageCase& damageCase, std::ostream* out) {
    *out << damageCase.what;
}

std::uint64_t entryField(const CompoundWriter& writer, std::uint32_t entry, std::uint32_t field) {
    return writer.directoryEntryOffset(entry) + field;
}

std::uint32_t firstDirectorySector(const CompoundWriter& writer) {
    return static_cast<std::uint32_t>(writer.directoryEntryOffset(0) / writer.sectorBytes() - 1);
}

// The chain of a regular stream of the sample, sector by sector.
std::uint32_t sectorOf(const CompoundWriter& writer, std::uint32_t entry, std::uint32_t index) {
    return writer.startSector(entry) + index;
}

const std::vector<DamageCase>& damageCases() {
    static const std::vector<DamageCase> cases = {
        // The directory.
        {"directory chain loops",
         [](Bytes& b, const CompoundWriter& w) {
             // The sample's 11 entries take 3 sectors.
             put32(b, w.fatEntryOffset(firstDirectorySector(w) + 2), firstDirectorySector(w));
         },
         Outcome::Refused},
        {"directory chain leaves the file",
         [](Bytes& b, const CompoundWriter& w) {
             put32(b, w.fatEntryOffset(firstDirectorySector(w)), 5000);
         },
         Outcome::Refused},
        {"directory chain runs into a free sector",
         [](Bytes& b, const CompoundWriter& w) {
             put32(b, w.fatEntryOffset(firstDirectorySector(w)), kFree);
         },
         Outcome::Refused},
        {"child index beyond the directory",
         [](Bytes& b, const CompoundWriter& w) { put32(b, entryField(w, JSite1, 0x4C), 1000); },
         Outcome::Refused},
        {"sibling index at the highest regular id",
         [](Bytes& b, const CompoundWriter& w) {
             put32(b, entryField(w, Klein, 0x44), 0xFFFFFFFA);
         },
         Outcome::Refused},
        {"child links back to its storage",
         [](Bytes& b, const CompoundWriter& w) { put32(b, entryField(w, Tief, 0x4C), Daten); },
         Outcome::Refused},
        {"sibling links to itself",
         [](Bytes& b, const CompoundWriter& w) { put32(b, entryField(w, Ole, 0x48), Ole); },
         Outcome::Refused},
        {"child links back to the root",
         [](Bytes& b, const CompoundWriter& w) { put32(b, entryField(w, Tief, 0x4C), Root); },
         Outcome::Refused},
        {"two storages share a stream",
         [](Bytes& b, const CompoundWriter& w) { put32(b, entryField(w, Tief, 0x4C), Ole); },
         Outcome::Refused},
        {"unused entry in the tree",
         [](Bytes& b, const CompoundWriter& w) { b[entryField(w, Klein, 0x42)] = 0; },
         Outcome::Refused},
        {"unknown entry type",
         [](Bytes& b, const CompoundWriter& w) { b[entryField(w, Klein, 0x42)] = 3; },
         Outcome::Refused},
        {"second root",
         [](Bytes& b, const CompoundWriter& w) { b[entryField(w, Daten, 0x42)] = 5; },
         Outcome::Refused},
        {"root entry marked as storage",
         [](Bytes& b, const CompoundWriter& w) { b[entryField(w, Root, 0x42)] = 1; },
         Outcome::Refused},
        {"root entry with a sibling",
         [](Bytes& b, const CompoundWriter& w) { put32(b, entryField(w, Root, 0x48), Klein); },
         Outcome::Refused},
        {"odd name length",
         [](Bytes& b, const CompoundWriter& w) { put16(b, entryField(w, Klein, 0x40), 11); },
         Outcome::Refused},
        {"name length beyond 64",
         [](Bytes& b, const CompoundWriter& w) { put16(b, entryField(w, Klein, 0x40), 66); },
         Outcome::Refused},
        {"name length 0",
         [](Bytes& b, const CompoundWriter& w) { put16(b, entryField(w, Klein, 0x40), 0); },
         Outcome::Refused},
        {"name without its terminating NUL",
         [](Bytes& b, const CompoundWriter& w) { put16(b, entryField(w, Klein, 0x40), 10); },
         Outcome::Refused},
        {"a stream's child field is ignored",
         [](Bytes& b, const CompoundWriter& w) { put32(b, entryField(w, Klein, 0x4C), Daten); },
         Outcome::Unchanged},
        {"colours are not checked",
         [](Bytes& b, const CompoundWriter& w) { b[entryField(w, Daten, 0x43)] = 7; },
         Outcome::Unchanged},
        // A regular stream's chain.
        {"chain ends early",
         [](Bytes& b, const CompoundWriter& w) {
             put32(b, w.fatEntryOffset(sectorOf(w, Gross, 5)), kEnd);
         },
         Outcome::OneStreamUnreadable, "Daten/Tief/Gross"},
        {"chain runs into a free sector",
         [](Bytes& b, const CompoundWriter& w) {
             put32(b, w.fatEntryOffset(sectorOf(w, Gross, 5)), kFree);
         },
         Outcome::OneStreamUnreadable, "Daten/Tief/Gross"},
        {"chain runs into a FAT sector mark",
         [](Bytes& b, const CompoundWriter& w) {
             put32(b, w.fatEntryOffset(sectorOf(w, Gross, 5)), 0xFFFFFFFD);
         },
         Outcome::OneStreamUnreadable, "Daten/Tief/Gross"},
        {"chain leaves the file",
         [](Bytes& b, const CompoundWriter& w) {
             put32(b, w.fatEntryOffset(sectorOf(w, Gross, 5)), 100000);
         },
         Outcome::OneStreamUnreadable, "Daten/Tief/Gross"},
        {"chain loops back",
         [](Bytes& b, const CompoundWriter& w) {
             put32(b, w.fatEntryOffset(sectorOf(w, Gross, 10)), sectorOf(w, Gross, 2));
         },
         Outcome::OneStreamUnreadable, "Daten/Tief/Gross"},
        {"stream starts outside the file",
         [](Bytes& b, const CompoundWriter& w) { put32(b, entryField(w, Gross, 0x74), 70000); },
         Outcome::OneStreamUnreadable, "Daten/Tief/Gross"},
        {"stream size beyond the file",
         [](Bytes& b, const CompoundWriter& w) {
             put32(b, entryField(w, Gross, 0x78), 0x7FFFFFFF);
         },
         Outcome::OneStreamUnreadable, "Daten/Tief/Gross"},
        {"chain loops after the stream's last sector",
         [](Bytes& b, const CompoundWriter& w) {
             put32(b, w.fatEntryOffset(sectorOf(w, Gross, 19)), sectorOf(w, Gross, 0));
         },
         Outcome::Unchanged},
        {"garbage in the high half of a version 3 size",
         [](Bytes& b, const CompoundWriter& w) { put32(b, entryField(w, Gross, 0x7C), 0x1234); },
         Outcome::Unchanged},
        // A small stream's chain.
        {"mini chain ends early",
         [](Bytes& b, const CompoundWriter& w) {
             put32(b, w.miniFatEntryOffset(w.startSector(Klein) + 1), kEnd);
         },
         Outcome::OneStreamUnreadable, "Klein"},
        {"mini chain loops",
         [](Bytes& b, const CompoundWriter& w) {
             put32(b, w.miniFatEntryOffset(w.startSector(Klein) + 3), w.startSector(Klein));
         },
         Outcome::OneStreamUnreadable, "Klein"},
        {"mini chain runs past the mini stream",
         [](Bytes& b, const CompoundWriter& w) {
             put32(b, w.miniFatEntryOffset(w.startSector(Klein) + 1), 4000);
         },
         Outcome::OneStreamUnreadable, "Klein"},
        {"small stream claims more than its chain",
         [](Bytes& b, const CompoundWriter& w) { put32(b, entryField(w, Klein, 0x78), 4000); },
         Outcome::OneStreamUnreadable, "Klein"},
        // The structure behind every small stream.
        {"mini stream chain loops",
         [](Bytes& b, const CompoundWriter& w) {
             put32(b, w.fatEntryOffset(w.rootStart() + 1), w.rootStart());
         },
         Outcome::Refused},
        {"mini stream shorter than the root's size",
         [](Bytes& b, const CompoundWriter& w) { put32(b, entryField(w, Root, 0x78), 1 << 20); },
         Outcome::Refused},
        {"mini FAT chain longer than the header says",
         [](Bytes& b, const CompoundWriter&) { put32(b, 0x40, 0); }, Outcome::Refused},
        {"FAT sector listed outside the file",
         [](Bytes& b, const CompoundWriter&) { put32(b, 0x4C, 90000); }, Outcome::Refused},
        {"header counts more FAT sectors than the file holds",
         [](Bytes& b, const CompoundWriter&) { put32(b, 0x2C, 1000); }, Outcome::Refused},
        {"header counts more DIFAT sectors than the file holds",
         [](Bytes& b, const CompoundWriter&) { put32(b, 0x48, 1000); }, Outcome::Refused},
    };
    return cases;
}

class CompoundFileDamage : public testing::TestWithParam<DamageCase> {};

INSTANTIATE_TEST_SUITE_P(CompoundFile, CompoundFileDamage, testing::ValuesIn(damageCases()),
                         [](const testing::TestParamInfo<DamageCase>& info) {
                             std::string name = info.param.what;
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

TEST_P(CompoundFileDamage, EndsTheFileOrOnlyTheDamagedStream) {
    CompoundWriter writer = test::sampleDocument();
    Bytes bytes = writer.bytes();
    const auto original = test::readTree(bytes);
    ASSERT_TRUE(original.has_value());
    GetParam().damage(bytes, writer);
    const auto damaged = test::readTree(bytes);
    switch (GetParam().outcome) {
    case Outcome::Refused:
        EXPECT_FALSE(damaged.has_value());
        break;
    case Outcome::Unchanged:
        ASSERT_TRUE(damaged.has_value());
        EXPECT_EQ(test::describeDifferences(*damaged, *original), "");
        break;
    case Outcome::OneStreamUnreadable: {
        ASSERT_TRUE(damaged.has_value());
        Tree expected = *original;
        expected[GetParam().unreadable].bytes.reset();
        EXPECT_EQ(test::describeDifferences(*damaged, expected), "");
        break;
    }
    }
}

} // namespace
} // namespace ostrevan

namespace ostrevan {
namespace {

struct HeaderCase {
    const char* what;
    std::size_t offset;
    std::uint16_t value;
};

void PrintTo(const HeaderCase& headerCase, std::ostream* out) {
    *out << headerCase.what;
}

class CompoundFileHeader : public testing::TestWithParam<HeaderCase> {};

INSTANTIATE_TEST_SUITE_P(CompoundFile, CompoundFileHeader,
                         testing::Values(HeaderCase{"signature", 0x07, 0xE0},
                                         HeaderCase{"byte order", 0x1C, 0xFEFF},
                                         HeaderCase{"version 2", 0x1A, 2},
                                         HeaderCase{"version 5", 0x1A, 5},
                                         HeaderCase{"version 4 with 512-byte sectors", 0x1A, 4},
                                         HeaderCase{"1024-byte sectors", 0x1E, 10},
                                         HeaderCase{"128-byte mini sectors", 0x20, 7},
                                         HeaderCase{"mini stream cutoff 2048", 0x38, 2048}),
                         [](const testing::TestParamInfo<HeaderCase>& info) {
                             std::string name = info.param.what;
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

TEST_P(CompoundFileHeader, RejectsAFieldOutsideTheFormat) {
    Bytes bytes = test::sampleDocument().bytes();
    ASSERT_TRUE(test::readTree(bytes).has_value());
    if (GetParam().offset == 0x07) {
        bytes[0x07] = static_cast<std::uint8_t>(GetParam().value);
    } else {
        put16(bytes, GetParam().offset, GetParam().value);
    }
    EXPECT_FALSE(test::readTree(bytes).has_value());
}

TEST(CompoundFile, AcceptsAnyMinorVersion) {
    Bytes bytes = test::sampleDocument().bytes();
    put16(bytes, 0x18, 0x21);
    EXPECT_TRUE(test::readTree(bytes).has_value());
}

TEST(CompoundFile, RejectsFilesShorterThanAHeaderAndEmptyOnes) {
    const Bytes bytes = test::sampleDocument().bytes();
    for (const std::size_t size : {0, 8, 511, 512}) {
        EXPECT_FALSE(test::readTree(std::span(bytes).first(size)).has_value()) << size;
    }
}

TEST(CompoundFile, ReadsAShortLastSectorAsZeros) {
    CompoundWriter writer;
    writer.addStream(0, "Klein", test::patterned(100, 1));
    // The last stream written ends the file; 4600 bytes leave 8 sectors + 504 unused bytes.
    const std::uint32_t last = writer.addStream(0, "Zuletzt", test::patterned(4600, 2));
    Bytes bytes = writer.bytes();
    const std::uint64_t streamStart = writer.sectorOffset(writer.startSector(last));
    ASSERT_EQ(streamStart + 9 * 512, bytes.size());
    for (const std::size_t cut : {1, 100, 504, 511}) {
        SCOPED_TRACE(cut);
        const auto tree = test::readTree(std::span(bytes).first(bytes.size() - cut));
        ASSERT_TRUE(tree.has_value());
        Bytes expected = test::patterned(4600, 2);
        for (std::size_t i = bytes.size() - cut - streamStart; i < expected.size(); ++i) {
            expected[i] = 0;
        }
        EXPECT_TRUE(tree->at("Zuletzt").bytes == expected);
        EXPECT_TRUE(tree->at("Klein").bytes == test::patterned(100, 1));
    }
    // Without the whole last sector the stream is cut short: damaged, alone.
    const auto tree = test::readTree(std::span(bytes).first(bytes.size() - 512));
    ASSERT_TRUE(tree.has_value());
    EXPECT_FALSE(tree->at("Zuletzt").bytes.has_value());
    EXPECT_TRUE(tree->at("Klein").bytes == test::patterned(100, 1));
}

TEST(CompoundFile, FindsFatSectorsThroughTheDifatChain) {
    // More than 109 FAT sectors of 128 entries: the header's DIFAT does not reach them all.
    CompoundWriter writer;
    writer.addStream(0, "Anfang", test::patterned(5000, 1));
    writer.addStream(0, "Fuellung", Bytes(110 * 128 * 512, 0));
    const std::uint32_t last = writer.addStream(0, "Ende", test::patterned(5000, 3));
    const Bytes bytes = writer.bytes();
    ASSERT_GT(writer.fatSectorCount(), 109u);
    const auto tree = test::readTree(bytes);
    ASSERT_TRUE(tree.has_value());
    EXPECT_TRUE(tree->at("Ende").bytes == test::patterned(5000, 3));

    const auto endRead = [&](const Bytes& damaged) {
        MemoryInput input(damaged);
        CompoundFile file(input);
        return file.read(file.children(file.root())[0]); // "Ende", the shortest name
    };
    ASSERT_TRUE(endRead(bytes) == test::patterned(5000, 3));
    ASSERT_GT(writer.startSector(last), 109u * 128u);

    struct Case {
        const char* what;
        std::function<void(Bytes&)> damage;
    };
    const std::vector<Case> cases = {
        {"no DIFAT sector counted",
         [](Bytes& b) {
             put32(b, 0x48, 0);
         }},
        {"DIFAT starts outside the file",
         [](Bytes& b) {
             put32(b, 0x44, 0x7FFFFFF0);
         }},
        {"DIFAT lists a FAT sector outside the file",
         [&](Bytes& b) {
             const std::uint32_t fatSector = writer.startSector(last) / 128;
             put32(b, writer.sectorOffset(writer.firstDifatSector()) + (fatSector - 109) * 4,
                   0x7FFFFFF0);
         }},
        {"FAT counted too short",
         [](Bytes& b) {
             put32(b, 0x2C, 109);
         }},
    };
    for (const Case& damage : cases) {
        SCOPED_TRACE(damage.what);
        Bytes damaged = bytes;
        damage.damage(damaged);
        const auto error = trapError([&] { endRead(damaged); });
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->number(), err::BadFileFormat);
        // What the header's DIFAT reaches stays readable.
        MemoryInput input(damaged);
        CompoundFile file(input);
        EXPECT_TRUE(file.read(file.children(file.root())[1]) == test::patterned(5000, 1));
    }
}

TEST(CompoundFile, WalksAHundredThousandSiblingsInAChain) {
    CompoundWriter writer;
    writer.chainSiblings();
    const std::uint32_t storage = writer.addStorage(0, "Viele");
    for (int i = 0; i < 100000; ++i) {
        writer.addStream(storage, "Teil" + std::to_string(i), {});
    }
    const Bytes bytes = writer.bytes();
    MemoryInput input(bytes);
    const CompoundFile file(input);
    const auto children = file.children(file.children(file.root())[0]);
    ASSERT_EQ(children.size(), 100000u);
    EXPECT_EQ(children.front().name, "Teil0");
    EXPECT_EQ(children[10].name, "Teil10");
    EXPECT_EQ(children.back().name, "Teil99999");
}

// Counts what the reader asks its input for.
class CountingInput final : public ByteSource {
public:
    explicit CountingInput(std::span<const std::uint8_t> bytes) : m_input(bytes) {}
    std::uint64_t size() const override { return m_input.size(); }
    bool read(std::uint64_t offset, std::span<std::uint8_t> target) override {
        m_bytesRead += target.size();
        return m_input.read(offset, target);
    }
    std::uint64_t bytesRead() const { return m_bytesRead; }

private:
    MemoryInput m_input;
    std::uint64_t m_bytesRead = 0;
};

TEST(CompoundFile, ReadsOnlyWhatTheDirectoryAndTheStreamsAskedForNeed) {
    // The same small stream in a small file and in one with 4 MiB of other data.
    std::vector<std::uint64_t> bytesRead;
    for (const std::size_t padding : {std::size_t{0}, std::size_t{4} << 20}) {
        CompoundWriter writer;
        writer.addStream(writer.addStorage(0, "JSite1"), "\x01Ole", test::patterned(248, 1));
        writer.addStream(0, "Daten", Bytes(padding, 1));
        const Bytes bytes = writer.bytes();
        CountingInput input(bytes);
        CompoundFile file(input);
        const CompoundEntry& site = file.children(file.root())[1];
        ASSERT_EQ(site.name, "JSite1");
        EXPECT_TRUE(file.read(file.children(site)[0]) == test::patterned(248, 1));
        bytesRead.push_back(input.bytesRead());
    }
    // Header, one FAT sector, the directory, one mini FAT sector and the mini stream's
    // sectors: a few kilobytes, whatever the file's size.
    EXPECT_LT(bytesRead[0], 4096u);
    EXPECT_LE(bytesRead[1], bytesRead[0] + 512);
}

TEST(CompoundFile, ReadsTheBeginningOfAStreamWithoutFollowingTheRestOfItsChain) {
    CompoundWriter writer = test::sampleDocument();
    Bytes bytes = writer.bytes();
    // Broken after its third sector: the first 1000 bytes are still there.
    put32(bytes, writer.fatEntryOffset(writer.startSector(Gross) + 2), kFree);
    MemoryInput input(bytes);
    CompoundFile file(input);
    const CompoundEntry* gross = nullptr;
    for (const CompoundEntry& entry : file.entries()) {
        gross = entry.name == "Gross" ? &entry : gross;
    }
    ASSERT_NE(gross, nullptr);
    const Bytes expected = test::patterned(10000, 3);
    EXPECT_TRUE(file.read(*gross, 1000) == Bytes(expected.begin(), expected.begin() + 1000));
    EXPECT_FALSE(file.read(*gross).has_value());
    EXPECT_FALSE(file.read(file.root()).has_value());
}

TEST(CompoundFile, NamesEndAtTheirFirstNul) {
    CompoundWriter writer;
    const std::uint32_t stream = writer.addStream(0, "AB", test::patterned(5, 1));
    Bytes bytes = writer.bytes();
    // "A\0" followed by "B\0" inside a length of 6 bytes.
    bytes[writer.directoryEntryOffset(stream) + 2] = 0;
    const auto tree = test::readTree(bytes);
    ASSERT_TRUE(tree.has_value());
    EXPECT_TRUE(tree->contains("A"));
}

// Opening keeps its working memory for the thread's next document: whatever the one before
// left there (a walk that damage ended deep in the tree, a larger directory, one too large to
// keep), a document reads as it does alone.
TEST(CompoundFile, ReadsEachDocumentOfAThreadAsItReadsAlone) {
    std::vector<Bytes> documents{test::sampleDocument().bytes()};
    CompoundWriter damaged = test::sampleDocument();
    documents.push_back(damaged.bytes());
    // The first of the root's children in order leads back to the root.
    put32(documents.back(), entryField(damaged, Leer, 0x44), Root);
    for (const int storages : {150, 5000}) {
        CompoundWriter writer;
        for (int i = 0; i < storages; ++i) {
            writer.addStream(writer.addStorage(0, "Lager" + std::to_string(i)), "\x01Ole",
                             test::patterned(static_cast<std::size_t>(i % 7 * 100), 1));
        }
        documents.push_back(writer.bytes());
    }
    const auto onNewThread = [](const std::function<void()>& read) {
        std::thread(read).join();
    };
    std::vector<std::optional<Tree>> alone(documents.size());
    for (std::size_t i = 0; i < documents.size(); ++i) {
        onNewThread([&] { alone[i] = test::readTree(documents[i]); });
    }
    ASSERT_FALSE(alone[1].has_value());
    for (std::size_t first = 0; first < documents.size(); ++first) {
        for (std::size_t next = 0; next < documents.size(); ++next) {
            SCOPED_TRACE("document " + std::to_string(next) + " after " + std::to_string(first));
            std::optional<Tree> tree;
            onNewThread([&] {
                test::readTree(documents[first]);
                tree = test::readTree(documents[next]);
            });
            ASSERT_EQ(tree.has_value(), alone[next].has_value());
            if (tree) {
                EXPECT_TRUE(*tree == *alone[next])
                    << test::describeDifferences(*tree, *alone[next]);
            }
        }
    }
}

} // namespace
} // namespace ostrevan
