#include "platform/ole/FileInput.h"

#include "platform/Error.h"
#include "platform/ole/LinkObjects.h"
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
                         [](const testing::TestParamInfo<ReadCase>& info) {
                             std::string name = info.param.what;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

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

} // namespace
} // namespace ostrevan
