#include "platform/ole/FileInput.h"

#include "platform/Error.h"
#include "platform/ole/LinkObjects.h"
#include "tests/ole/CompoundTrees.h"
#include "tests/ole/CompoundWriter.h"
#include "tests/ole/Vectors.h"
#include "tests/support/CompoundFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace ostrevan {
namespace {

// Bytes that differ at every offset a read could be misplaced by.
std::string patternedBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    }
    return bytes;
}

// Whether read holds the file's bytes from offset on.
bool holdsBytesAt(std::span<const std::uint8_t> read, const std::string& bytes,
                  std::uint64_t offset) {
    return std::string(read.begin(), read.end()) ==
           bytes.substr(static_cast<std::size_t>(offset), read.size());
}

// A case's description as its test name.
template <typename Case> std::string caseName(const testing::TestParamInfo<Case>& info) {
    std::string name = info.param.what;
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
}

struct ReadCase {
    const char* what;
    std::uint64_t offset;
    std::size_t count;
};

void PrintTo(const ReadCase& read, std::ostream* out) {
    *out << read.what;
}

class FileInputReads : public testing::TestWithParam<ReadCase> {};

// The file is 3 pages and a bit; reads land inside one page, across two, over more, and
// at the short last page.
constexpr std::size_t kFileSize = 3 * 4096 + 1000;

INSTANTIATE_TEST_SUITE_P(FileInput, FileInputReads,
                         testing::Values(ReadCase{"header", 0, 512},
                                         ReadCase{"mini sector", 4096 - 64, 64},
                                         ReadCase{"across a page end", 4096 - 10, 20},
                                         ReadCase{"a whole page", 4096, 4096},
                                         ReadCase{"two pages unaligned", 100, 8000},
                                         ReadCase{"more than two pages", 10, 3 * 4096},
                                         ReadCase{"into the short last page", 3 * 4096 - 8, 16},
                                         ReadCase{"up to the end", kFileSize - 300, 300},
                                         ReadCase{"the whole file", 0, kFileSize}),
                         caseName<ReadCase>);

TEST_P(FileInputReads, HandOutTheFilesBytesFromTheFileAndFromWhatWasKept) {
    const test::TempFolder folder;
    const std::string bytes = patternedBytes(kFileSize);
    FileInput input(folder.file("Teil.par", bytes));
    EXPECT_EQ(input.size(), kFileSize);
    const ReadCase read = GetParam();
    const std::string expected = bytes.substr(static_cast<std::size_t>(read.offset), read.count);
    for (int pass = 0; pass < 2; ++pass) {
        std::string buffer(read.count, '\0');
        ASSERT_TRUE(input.read(read.offset,
                               {reinterpret_cast<std::uint8_t*>(buffer.data()), buffer.size()}));
        EXPECT_EQ(buffer, expected);
    }
}

TEST(FileInput, RefusesReadsBeyondTheEnd) {
    const test::TempFolder folder;
    FileInput input(folder.file("Teil.par", patternedBytes(kFileSize)));
    std::array<std::uint8_t, 16> buffer{};
    EXPECT_FALSE(input.read(kFileSize - 8, buffer));
    EXPECT_FALSE(input.read(kFileSize + 1, std::span(buffer).first(0)));
    EXPECT_TRUE(input.read(kFileSize, std::span(buffer).first(0)));
}

TEST(FileInput, ReadsOnlyThePagesAskedForAndEachOnce) {
    const test::TempFolder folder;
    FileInput input(folder.file("Groß.asm", patternedBytes(1 << 20)));
    // Sectors of the first page, then of one far inside, then of the first again.
    std::array<std::uint8_t, 512> sector{};
    for (const std::uint64_t offset : {0, 512, 3584, 500 * 1024, 500 * 1024 + 512, 1024}) {
        ASSERT_TRUE(input.read(offset, sector));
    }
    EXPECT_EQ(input.bytesRead(), 2u * 4096u);
}

TEST(FileInput, AFileSmallerThanAPageIsReadOnceAndWhole) {
    const test::TempFolder folder;
    const std::string bytes = patternedBytes(1000);
    FileInput input(folder.file("Klein.par", bytes));
    std::array<std::uint8_t, 100> buffer{};
    ASSERT_TRUE(input.read(900, buffer));
    EXPECT_TRUE(holdsBytesAt(buffer, bytes, 900));
    ASSERT_TRUE(input.read(0, buffer));
    EXPECT_TRUE(holdsBytesAt(buffer, bytes, 0));
    EXPECT_FALSE(input.read(950, buffer));
    EXPECT_EQ(input.bytesRead(), 1000u);
    EXPECT_EQ(input.reads(), 1u);
}

TEST(FileInput, KeepsThePagesUsedLastWhateverTheirPlaceInTheFile) {
    const test::TempFolder folder;
    FileInput input(folder.file("Groß.asm", patternedBytes(1 << 20)));
    std::array<std::uint8_t, 512> sector{};
    const auto readPage = [&](std::uint64_t page) {
        ASSERT_TRUE(input.read(page * 4096, sector));
    };
    // Pages 16 apart, then 16 pages in turn with the first one used again between them.
    for (const std::uint64_t page : {0, 16, 32, 0, 16, 32}) {
        readPage(page);
    }
    EXPECT_EQ(input.reads(), 3u);
    for (std::uint64_t page = 100; page < 116; ++page) {
        readPage(page);
        readPage(0);
    }
    EXPECT_EQ(input.reads(), 3u + 16u);
    // 16 and 32, then 100, had been used longest ago and made room; 101 and 0 are kept.
    readPage(101);
    readPage(0);
    EXPECT_EQ(input.reads(), 3u + 16u);
    readPage(100);
    EXPECT_EQ(input.reads(), 3u + 17u);
}

// Finds the same bytes worth fetching wherever it is asked, and counts how often it is.
class FixedAdvice final : public FetchAdvice {
public:
    explicit FixedAdvice(ByteRange worth) : m_worth(worth) {}
    ByteRange worthFetching(ByteRange asked, ByteRange within) override {
        ++m_asked;
        // A page of the file, around the bytes asked for.
        EXPECT_EQ(within.begin % 4096, 0u);
        EXPECT_LE(within.end - within.begin, 4096u);
        EXPECT_TRUE(within.begin <= asked.begin && asked.begin < asked.end &&
                    asked.end <= within.end);
        return m_worth;
    }
    int asked() const { return m_asked; }

private:
    ByteRange m_worth;
    int m_asked = 0;
};

struct AdvisedCase {
    const char* what;
    ByteRange worth;
    std::uint64_t offset;
    std::size_t count;
    std::uint64_t expectedBytesRead;
};

class FileInputAdvised : public testing::TestWithParam<AdvisedCase> {};

// Reads in the second page of the file (4096 to 8192) and in its short last page (12288 to
// kFileSize).
INSTANTIATE_TEST_SUITE_P(
    FileInput, FileInputAdvised,
    testing::Values(AdvisedCase{"the whole page", {4096, 8192}, 5120, 512, 4096},
                    AdvisedCase{"beyond the page", {0, 20000}, 5632, 512, 4096},
                    AdvisedCase{"from the middle of the page", {5120, 8192}, 6144, 512, 3072},
                    AdvisedCase{"up to the middle of the page", {4096, 7168}, 4096, 512, 3072},
                    AdvisedCase{"the sector asked for alone", {5120, 5632}, 5120, 512, 512},
                    AdvisedCase{"not the bytes asked for", {6144, 8192}, 4196, 200, 3996},
                    AdvisedCase{"across a page end", {5120, 9216}, 8000, 400, 4096},
                    AdvisedCase{"the short last page", {12288, 12788}, 12288, 64, 500}),
    caseName<AdvisedCase>);

TEST_P(FileInputAdvised, ReadsOfAPageWhatIsWorthIt) {
    const test::TempFolder folder;
    const std::string bytes = patternedBytes(kFileSize);
    FileInput input(folder.file("Teil.par", bytes));
    const AdvisedCase read = GetParam();
    const std::string expected = bytes.substr(static_cast<std::size_t>(read.offset), read.count);
    std::string buffer(read.count, '\0');
    const std::span<std::uint8_t> target(reinterpret_cast<std::uint8_t*>(buffer.data()),
                                         buffer.size());
    FixedAdvice advice(read.worth);
    ASSERT_TRUE(input.readAdvised(advice, read.offset, target));
    EXPECT_EQ(buffer, expected);
    EXPECT_EQ(input.bytesRead(), read.expectedBytesRead);
    const int asked = advice.asked();
    EXPECT_GE(asked, 1);
    // Read again, from what was kept, without asking for advice.
    for (int pass = 0; pass < 2; ++pass) {
        std::fill(buffer.begin(), buffer.end(), '\0');
        ASSERT_TRUE(pass == 0 ? input.readAdvised(advice, read.offset, target)
                              : input.read(read.offset, target));
        EXPECT_EQ(buffer, expected);
    }
    EXPECT_EQ(input.bytesRead(), read.expectedBytesRead);
    EXPECT_EQ(advice.asked(), asked);
}

TEST(FileInput, APagePartlyKeptIsCompletedWithTheBytesItLacks) {
    const test::TempFolder folder;
    const std::string bytes = patternedBytes(kFileSize);
    FileInput input(folder.file("Teil.par", bytes));
    std::array<std::uint8_t, 512> sector{};
    // 5120 to 6144 of the second page, then what lies after, then what lies before.
    FixedAdvice aroundBoth({5120, 6144});
    ASSERT_TRUE(input.readAdvised(aroundBoth, 5120, sector));
    EXPECT_EQ(input.bytesRead(), 1024u);
    FixedAdvice before({5120, 8192});
    ASSERT_TRUE(input.readAdvised(before, 7680, sector));
    EXPECT_EQ(input.bytesRead(), 1024u + 2048u);
    EXPECT_TRUE(holdsBytesAt(sector, bytes, 7680));
    ASSERT_TRUE(input.read(4096, sector));
    EXPECT_EQ(input.bytesRead(), 4096u);
    EXPECT_TRUE(holdsBytesAt(sector, bytes, 4096));
    // Nothing is read again, all of the page is kept.
    for (std::uint64_t offset = 4096; offset < 8192; offset += 512) {
        ASSERT_TRUE(input.read(offset, sector));
        EXPECT_TRUE(holdsBytesAt(sector, bytes, offset)) << offset;
    }
    EXPECT_EQ(input.reads(), 3u);
}

// Expects the bytes of one range soon; finds a page worth fetching whole.
class SoonAdvice final : public FetchAdvice {
public:
    explicit SoonAdvice(ByteRange soon) : m_soon(soon) {}
    ByteRange worthFetching(ByteRange asked, ByteRange within) override {
        static_cast<void>(asked);
        return within;
    }
    bool soonNeeded(ByteRange bytes) override {
        return bytes.begin < m_soon.end && m_soon.begin < bytes.end;
    }

private:
    ByteRange m_soon;
};

struct NeighbourCase {
    const char* what;
    std::vector<std::uint64_t> pagesReadBefore;
    std::uint64_t page;
    ByteRange soon;
    std::uint64_t expectedBytesRead; // by the read of page, in one read
    std::uint64_t pageReadAlong;     // or ~0
};

class FileInputNeighbours : public testing::TestWithParam<NeighbourCase> {};

constexpr std::uint64_t kNone = ~std::uint64_t{0};

// Pages 16 apart share a slot: page 22 takes the one page 6 would have.
INSTANTIATE_TEST_SUITE_P(
    FileInput, FileInputNeighbours,
    testing::Values(
        NeighbourCase{"the page after", {}, 5, {6 * 4096 + 10, 6 * 4096 + 20}, 8192, 6},
        NeighbourCase{"the page before", {}, 6, {5 * 4096 + 10, 5 * 4096 + 20}, 8192, 5},
        NeighbourCase{"both neighbours", {}, 6, {5 * 4096, 7 * 4096 + 1}, 3 * 4096, 5},
        NeighbourCase{"no neighbour", {}, 5, {7 * 4096, 7 * 4096 + 512}, 4096, kNone},
        NeighbourCase{
            "into the page used longest ago", {22, 0}, 5, {6 * 4096, 6 * 4096 + 1}, 8192, 6},
        NeighbourCase{
            "not into a page used since", {0, 22}, 5, {6 * 4096, 6 * 4096 + 1}, 4096, kNone}),
    caseName<NeighbourCase>);

TEST_P(FileInputNeighbours, AreReadAlongWhenTheirBytesAreExpectedSoon) {
    const test::TempFolder folder;
    const std::string bytes = patternedBytes(1 << 20);
    FileInput input(folder.file("Groß.asm", bytes));
    const NeighbourCase& read = GetParam();
    std::array<std::uint8_t, 512> sector{};
    for (const std::uint64_t page : read.pagesReadBefore) {
        ASSERT_TRUE(input.read(page * 4096, sector));
    }
    const std::uint64_t bytesBefore = input.bytesRead();
    const std::uint64_t readsBefore = input.reads();
    SoonAdvice advice(read.soon);
    ASSERT_TRUE(input.readAdvised(advice, read.page * 4096 + 1000, sector));
    EXPECT_TRUE(holdsBytesAt(sector, bytes, read.page * 4096 + 1000));
    EXPECT_EQ(input.bytesRead() - bytesBefore, read.expectedBytesRead);
    EXPECT_EQ(input.reads(), readsBefore + 1);
    if (read.pageReadAlong == kNone) {
        return;
    }
    // All of it kept, in its place.
    for (std::uint64_t offset = read.pageReadAlong * 4096; offset < (read.pageReadAlong + 1) * 4096;
         offset += 512) {
        ASSERT_TRUE(input.read(offset, sector));
        EXPECT_TRUE(holdsBytesAt(sector, bytes, offset)) << offset;
    }
    EXPECT_EQ(input.reads(), readsBefore + 1);
}

// Expects one neighbouring page soon, but only its part next to the page read finds worth it.
class PartNeighbourAdvice final : public FetchAdvice {
public:
    explicit PartNeighbourAdvice(std::uint64_t neighbour) : m_neighbour(neighbour) {}
    ByteRange worthFetching(ByteRange asked, ByteRange within) override {
        if (within.begin != m_neighbour) {
            return within;
        }
        return asked.begin == within.begin ? ByteRange{within.begin, within.begin + 1024}
                                           : ByteRange{within.end - 1024, within.end};
    }
    bool soonNeeded(ByteRange bytes) override { return bytes.begin == m_neighbour; }

private:
    std::uint64_t m_neighbour;
};

TEST(FileInput, ANeighbourReadInPartServesTheRestOfItsPageFromTheFile) {
    const test::TempFolder folder;
    const std::string bytes = patternedBytes(1 << 20);
    std::string otherBytes = bytes;
    std::transform(otherBytes.begin(), otherBytes.end(), otherBytes.begin(),
                   [](char byte) { return static_cast<char>(~byte); });
    const std::string path = folder.file("Teil.par", bytes);
    const std::string otherPath = folder.file("Andere.par", otherBytes);
    for (const std::uint64_t neighbour : {6u * 4096, 4u * 4096}) {
        SCOPED_TRACE(neighbour);
        // The page memory the input takes over holds other bytes at every offset.
        {
            FileInput other(otherPath);
            std::array<std::uint8_t, 1> byte{};
            for (std::uint64_t offset = 0; offset < 16 * 4096; offset += 4096) {
                ASSERT_TRUE(other.read(offset, byte));
            }
        }
        FileInput input(path);
        std::array<std::uint8_t, 512> sector{};
        PartNeighbourAdvice advice(neighbour);
        ASSERT_TRUE(input.readAdvised(advice, 5 * 4096 + 1000, sector));
        EXPECT_EQ(input.bytesRead(), 4096u + 1024u);
        for (std::uint64_t offset = neighbour; offset < neighbour + 4096; offset += 512) {
            ASSERT_TRUE(input.read(offset, sector));
            EXPECT_TRUE(holdsBytesAt(sector, bytes, offset)) << offset;
        }
        EXPECT_EQ(input.bytesRead(), 2u * 4096u);
    }
}

TEST(FileInput, AFileCutShortAfterOpeningFailsTheReadInsteadOfHandingOutStaleBytes) {
    const test::TempFolder folder;
    const std::string path = folder.file("Teil.par", patternedBytes(kFileSize));
    FileInput input(path);
    std::filesystem::resize_file(path, 4096);
    std::array<std::uint8_t, 64> buffer{};
    EXPECT_FALSE(input.read(2 * 4096, buffer));
    EXPECT_TRUE(input.read(100, buffer));
}

// What reading a document gives, as text: its links and skipped storages, or its error.
std::string outcome(ByteSource& input) {
    std::string result;
    const auto error = trapError([&] {
        const LinkObjects objects = readLinkObjects(input);
        for (const LinkObject& link : objects.links) {
            result += link.storage + " -> " + link.absolute.displayName() + "\n";
        }
        for (const std::string& storage : objects.skipped) {
            result += "skipped " + storage + "\n";
        }
    });
    return error ? "error " + std::to_string(error->number()) : result;
}

std::string outcomeFromMemory(const std::string& bytes) {
    MemoryInput input({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    return outcome(input);
}

std::string outcomeFromFile(const std::string& path) {
    FileInput input(path);
    return outcome(input);
}

// Damaged copies: bytes changed in the header, the allocation tables and the directory, and
// files cut short at a sector boundary.
std::vector<std::string> damagedCopies(const std::string& bytes, std::mt19937& random) {
    std::vector<std::string> copies;
    std::uniform_int_distribution<std::size_t> anywhere(0, bytes.size() - 1);
    std::uniform_int_distribution<int> anyByte(0, 255);
    for (int i = 0; i < 40; ++i) {
        std::string copy = bytes;
        for (int change = 0; change < 1 + i % 4; ++change) {
            copy[anywhere(random)] = static_cast<char>(anyByte(random));
        }
        copies.push_back(std::move(copy));
    }
    for (std::size_t cut = 512; cut < bytes.size(); cut += 512 * (1 + bytes.size() / 8192)) {
        copies.push_back(bytes.substr(0, cut));
    }
    return copies;
}

TEST(FileInput, ReadingFromTheFileGivesWhatReadingTheBytesFromMemoryGives) {
    const test::TempFolder folder;
    std::vector<std::string> documents;
    for (const auto& entry : std::filesystem::directory_iterator(vectors::dataPath("compound"))) {
        if (entry.path().extension() == ".cfb") {
            documents.push_back(test::readBytes(entry.path().string()));
        }
    }
    // A document whose objects reach across pages of the file and of the mini stream.
    std::vector<fixture::FixtureLink> links;
    for (int i = 0; i < 40; ++i) {
        links.push_back({"C:\\Konstruktion\\Teil " + std::to_string(i) + ".par",
                         "..\\Teil " + std::to_string(i) + ".par"});
    }
    const std::string many = folder.at("Viele.asm");
    fixture::writeCompoundDocument(many, links, 70 * 1024);
    documents.push_back(test::readBytes(many));
    ASSERT_GT(documents.size(), 10u);

    std::mt19937 random(20261207);
    for (const std::string& document : documents) {
        std::vector<std::string> variants = damagedCopies(document, random);
        variants.push_back(document);
        for (const std::string& variant : variants) {
            const std::string path = folder.file("Kopie.par", variant);
            ASSERT_EQ(outcomeFromFile(path), outcomeFromMemory(variant));
        }
    }
}

TEST(FileInput, ACompoundFileCutInsideItsLastSectorReadsAsFromMemory) {
    // The last stream ends the file: what is cut off of its last sector reads as zeros,
    // and the page holding it is short.
    test::CompoundWriter writer;
    writer.addStream(0, "Klein", test::patterned(100, 1));
    writer.addStream(0, "Zuletzt", test::patterned(4600, 2));
    const test::Bytes bytes = writer.bytes();
    const test::TempFolder folder;
    for (const std::size_t cut : {1, 100, 504, 511, 512, 4096}) {
        SCOPED_TRACE(cut);
        const std::string_view kept(reinterpret_cast<const char*>(bytes.data()),
                                    bytes.size() - cut);
        FileInput input(folder.file("Kopie.par", kept));
        const auto fromFile = test::readTree(input);
        const auto fromMemory = test::readTree(std::span(bytes).first(kept.size()));
        ASSERT_TRUE(fromMemory.has_value());
        EXPECT_TRUE(fromFile == fromMemory);
    }
}

} // namespace
} // namespace ostrevan
