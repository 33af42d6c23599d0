// The replacing writer over the Win32 calls: the old file stays whole until the new one is
// complete, and only plain files are replaced.

#include "platform/ReplacementFile.h"
#include "platform/Error.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/WindowsApi.h"
#include "tests/support/FakeFileTypes.h"
#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace ostrevan {
namespace {

using test::folderNames;
using test::readBytes;
using test::TempFolder;
using ::testing::ElementsAre;

template <class Body> std::int32_t errorOf(Body&& body) {
    const auto error = trapError(std::forward<Body>(body));
    return error ? error->number() : 0;
}

void replace(const std::string& target, std::string_view bytes) {
    const auto file = openReplacementFile(target);
    file->write(bytes);
    file->commit();
}

TEST(Win32ReplacementFile, ACommittedFileTakesTheTargetsPlaceAndLeavesNothingElse) {
    const TempFolder temp;
    const std::string target = temp.file("Bericht ä.txt", std::string(5000, 'x'));
    replace(target, "neu");
    EXPECT_EQ(readBytes(target), "neu");
    replace(temp.at("neu.txt"), "");
    EXPECT_EQ(readBytes(temp.at("neu.txt")), "");
    EXPECT_THAT(folderNames(temp.path()), ElementsAre("Bericht ä.txt", "neu.txt"));
}

TEST(Win32ReplacementFile, WithoutCommitTheTargetStaysAndTheNewFileGoes) {
    const TempFolder temp;
    const std::string target = temp.file("a.txt", "alt");
    {
        const auto file = openReplacementFile(target);
        file->write("halb");
        EXPECT_EQ(folderNames(temp.path()).size(), 2U);
    }
    EXPECT_EQ(readBytes(target), "alt");
    EXPECT_THAT(folderNames(temp.path()), ElementsAre("a.txt"));
}

TEST(Win32ReplacementFile, ASecondCommitOrALateWriteIsBadFileMode) {
    const TempFolder temp;
    const auto file = openReplacementFile(temp.at("a.txt"));
    file->commit();
    EXPECT_EQ(errorOf([&] { file->commit(); }), 54);
    EXPECT_EQ(errorOf([&] { file->write("x"); }), 54);
}

TEST(Win32ReplacementFile, FoldersDevicesAndReadOnlyFilesAreNotReplaced) {
    const TempFolder temp;
    EXPECT_EQ(errorOf([&] { openReplacementFile(temp.folder("Ordner")); }), 70);
    EXPECT_EQ(errorOf([&] { openReplacementFile(temp.at("NUL")); }), 75);
    EXPECT_EQ(errorOf([&] { openReplacementFile("CON"); }), 75);
    const std::string locked = temp.file("schreibgeschützt.txt", "bleibt");
    ASSERT_TRUE(SetFileAttributesW(longPath(locked).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(errorOf([&] { openReplacementFile(locked); }), 70);
    ASSERT_TRUE(SetFileAttributesW(longPath(locked).c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(readBytes(locked), "bleibt");
    EXPECT_THAT(folderNames(temp.path()), ElementsAre("Ordner", "schreibgeschützt.txt"));
}

TEST(Win32ReplacementFile, ALinkAtTheTargetIsRefusedAndWhatItNamesIsUntouched) {
    const TempFolder temp;
    const std::string named = temp.file("echt.txt", "echt");
    const std::string link = temp.at("verweis.txt");
    // Wine 8 answers success but makes no link.
    if (!CreateSymbolicLinkW(longPath(link).c_str(), longPath(named).c_str(), 0) ||
        GetFileAttributesW(longPath(link).c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "no symbolic links on this system";
    }
    EXPECT_EQ(errorOf([&] { openReplacementFile(link); }), 75);
    EXPECT_EQ(readBytes(named), "echt");
}

TEST(Win32ReplacementFile, MissingFoldersAndFilesAsFoldersAreNotFound) {
    const TempFolder temp;
    temp.file("da.txt");
    EXPECT_EQ(errorOf([&] { openReplacementFile(temp.at("fehlt\\x.txt")); }), 76);
    EXPECT_EQ(errorOf([&] { openReplacementFile(temp.at("da.txt\\x.txt")); }), 76);
    EXPECT_EQ(errorOf([&] { openReplacementFile(""); }), 53);
}

TEST(Win32ReplacementFile, AWritingStreamDroppedBeforeCloseLeavesTheOldFileWhole) {
    const TempFolder temp;
    const test::FakeFileTypes types;
    const Win32FileSystem files(types);
    const std::string path = temp.file("QZVExportRef.txt", "alter Bericht\r\n");
    {
        auto stream = files.OpenTextFile(path, io::ForWriting, true, io::TristateFalse);
        stream->Write(std::string(200000, 'n'));
    }
    EXPECT_EQ(readBytes(path), "alter Bericht\r\n");
    EXPECT_THAT(folderNames(temp.path()), ElementsAre("QZVExportRef.txt"));
    EXPECT_EQ(errorOf([&] {
                  files.OpenTextFile(temp.at("fehlt.txt"), io::ForWriting, false,
                                     io::TristateFalse);
              }),
              53);
}

} // namespace
} // namespace ostrevan
