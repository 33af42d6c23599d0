#include "platform/ole/FileInput.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <ostream>
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
    gsf_off_t offset;
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

TEST_P(FileInputReads, HandOutTheFilesBytesWithAndWithoutABuffer) {
    const test::TempFolder folder;
    const std::string bytes = patternedBytes(kFileSize);
    const GObjectPtr<GsfInput> input = openFileInput(folder.file("Teil.par", bytes));
    const ReadCase read = GetParam();
    const std::string expected = bytes.substr(static_cast<std::size_t>(read.offset), read.count);

    // Twice without a buffer (the second from what was kept), then into the caller's one.
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_EQ(gsf_input_seek(input.get(), read.offset, G_SEEK_SET), 0);
        const guint8* got = gsf_input_read(input.get(), read.count, nullptr);
        ASSERT_NE(got, nullptr);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(got), read.count), expected);
    }
    std::string buffer(read.count, '\0');
    ASSERT_EQ(gsf_input_seek(input.get(), read.offset, G_SEEK_SET), 0);
    ASSERT_NE(gsf_input_read(input.get(), read.count, reinterpret_cast<guint8*>(buffer.data())),
              nullptr);
    EXPECT_EQ(buffer, expected);
}

TEST(FileInput, ReadsOnlyThePagesAskedForAndEachOnce) {
    const test::TempFolder folder;
    const GObjectPtr<GsfInput> input =
        openFileInput(folder.file("Groß.asm", patternedBytes(1 << 20)));
    // Sectors of the first page, then of one far inside, then of the first again.
    for (const gsf_off_t offset : {0, 512, 3584, 500 * 1024, 500 * 1024 + 512, 1024}) {
        ASSERT_EQ(gsf_input_seek(input.get(), offset, G_SEEK_SET), 0);
        ASSERT_NE(gsf_input_read(input.get(), 512, nullptr), nullptr);
    }
    EXPECT_EQ(fileInputBytesRead(input.get()), 2u * 4096u);
}

TEST(FileInput, AFileCutShortAfterOpeningFailsTheReadInsteadOfHandingOutStaleBytes) {
    const test::TempFolder folder;
    const std::string path = folder.file("Teil.par", patternedBytes(kFileSize));
    const GObjectPtr<GsfInput> input = openFileInput(path);
    std::filesystem::resize_file(path, 4096);
    ASSERT_EQ(gsf_input_seek(input.get(), 2 * 4096, G_SEEK_SET), 0);
    EXPECT_EQ(gsf_input_read(input.get(), 64, nullptr), nullptr);
    ASSERT_EQ(gsf_input_seek(input.get(), 100, G_SEEK_SET), 0);
    EXPECT_NE(gsf_input_read(input.get(), 64, nullptr), nullptr);
}

} // namespace
} // namespace ostrevan
