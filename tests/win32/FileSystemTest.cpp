// The file-system object over the Win32 calls, on temporary folders: Windows paths, long
// paths, attributes, sorted listings, types, text streams and the runtime's errors.

#include "platform/Error.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/WindowsApi.h"
#include "tests/support/FakeFileTypes.h"
#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace ostrevan {
namespace {

using ::testing::ElementsAre;

template <class Body> std::int32_t errorOf(Body&& body) {
    const auto error = trapError(std::forward<Body>(body));
    return error ? error->number() : 0;
}

template <class Item> std::vector<std::string> namesOf(const std::vector<Item>& items) {
    std::vector<std::string> names;
    for (const auto& item : items) {
        names.push_back(item.Name);
    }
    return names;
}

class Win32FileSystemTest : public ::testing::Test {
protected:
    Win32FileSystemTest() { m_types.add("par", "Solid Edge Part Document"); }

    test::TempFolder m_temp;
    test::FakeFileTypes m_types;
    Win32FileSystem m_files{m_types};
};

TEST_F(Win32FileSystemTest, FoldersAreFullWindowsPaths) {
    m_temp.folder("Baugruppe Größe");
    const Folder folder = m_files.GetFolder(m_temp.path() + "/Baugruppe Größe/./");
    EXPECT_EQ(folder.Path, m_temp.at("Baugruppe Größe"));
    EXPECT_EQ(folder.Path.find('/'), std::string::npos);
    EXPECT_EQ(folder.Name, "Baugruppe Größe");
    EXPECT_EQ(folder.Attributes & 16, 16);
    EXPECT_EQ(folder.Identity,
              m_files.GetFolder(m_temp.at("BAUGRUPPE GRÖSSE\\..\\Baugruppe Größe")).Identity);
    EXPECT_NE(folder.Identity, m_files.GetFolder(m_temp.path()).Identity);
}

TEST_F(Win32FileSystemTest, ADriveRootKeepsItsBackslash) {
    const Folder root = m_files.GetFolder("C:\\");
    EXPECT_EQ(root.Path, "C:\\");
    EXPECT_EQ(FileSystem::BuildPath(root.Path, "a.par"), "C:\\a.par");
}

TEST_F(Win32FileSystemTest, ListingsAreSortedAndTyped) {
    m_temp.file("b.PAR");
    m_temp.file("Ä.txt");
    m_temp.file("a.par");
    m_temp.file("Liesmich");
    m_temp.folder("zweig");
    m_temp.folder("Ast");
    const Folder folder = m_files.GetFolder(m_temp.path());
    const std::vector<File> files = m_files.Files(folder);
    EXPECT_THAT(namesOf(files), ElementsAre("a.par", "b.PAR", "Liesmich", "Ä.txt"));
    EXPECT_EQ(files[0].Type, "Solid Edge Part Document");
    EXPECT_EQ(files[1].Type, "Solid Edge Part Document");
    EXPECT_EQ(files[2].Type, "Datei");
    EXPECT_EQ(files[3].Type, "TXT-Datei");
    EXPECT_EQ(files[0].Path, m_temp.at("a.par"));
    EXPECT_EQ(files[0].ParentFolder, folder.Path);
    EXPECT_THAT(namesOf(m_files.SubFolders(folder)), ElementsAre("Ast", "zweig"));
}

TEST_F(Win32FileSystemTest, HiddenSystemFoldersShowTheirAttributes) {
    const std::string folder = m_temp.folder("System Volume Information");
    ASSERT_TRUE(SetFileAttributesW(wideText(folder).c_str(),
                                   FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    const std::vector<Folder> subFolders = m_files.SubFolders(m_files.GetFolder(m_temp.path()));
    ASSERT_EQ(subFolders.size(), 1U);
    EXPECT_EQ(subFolders[0].Attributes, 22);
}

TEST_F(Win32FileSystemTest, PathsBeyond260CharactersWork) {
    std::string path = m_temp.path();
    for (int level = 0; level < 8; ++level) {
        path += "\\" + std::string(40, static_cast<char>('a' + level));
        ASSERT_TRUE(CreateDirectoryW(longPath(path).c_str(), nullptr)) << path;
    }
    ASSERT_GT(path.size(), 300U);
    auto writer =
        m_files.OpenTextFile(path + "\\tief.par", io::ForWriting, true, io::TristateFalse);
    writer->Write("ganz unten\r\n");
    writer->Close();
    const Folder deep = m_files.GetFolder(path);
    EXPECT_EQ(deep.Path, path);
    EXPECT_THAT(namesOf(m_files.Files(deep)), ElementsAre("tief.par"));
    EXPECT_TRUE(m_files.FileExists(path + "\\tief.par"));
    EXPECT_EQ(m_files.OpenTextFile(path + "\\tief.par", io::ForReading, false, io::TristateFalse)
                  ->ReadLine(),
              "ganz unten");
}

TEST_F(Win32FileSystemTest, MissingThingsRaiseTheRuntimesErrors) {
    m_temp.file("da.txt");
    EXPECT_EQ(errorOf([&] { m_files.GetFolder(m_temp.at("fehlt")); }), 76);
    EXPECT_EQ(errorOf([&] { m_files.GetFolder(m_temp.at("da.txt")); }), 76);
    EXPECT_EQ(errorOf([&] { m_files.GetFile(m_temp.at("fehlt.par")); }), 53);
    EXPECT_EQ(errorOf([&] { m_files.GetFile(m_temp.path()); }), 53);
    EXPECT_EQ(errorOf([&] {
                  m_files.OpenTextFile(m_temp.at("fehlt.txt"), io::ForReading, false,
                                       io::TristateFalse);
              }),
              53);
    EXPECT_EQ(errorOf([&] {
                  m_files.OpenTextFile(m_temp.at("fehlt\\neu.txt"), io::ForWriting, true,
                                       io::TristateFalse);
              }),
              76);
    EXPECT_EQ(errorOf([&] {
                  m_files.OpenTextFile(m_temp.path(), io::ForWriting, true, io::TristateFalse);
              }),
              70);
    EXPECT_FALSE(m_files.FileExists(""));
    EXPECT_FALSE(m_files.FileExists(m_temp.path()));
    EXPECT_TRUE(m_files.FolderExists(m_temp.path()));
    EXPECT_FALSE(m_files.FolderExists(m_temp.at("da.txt")));
}

TEST_F(Win32FileSystemTest, AFileLockedByAnotherProgramRaises70) {
    const std::string path = m_temp.file("QZVExportRef.txt", "alt");
    const HANDLE locked = CreateFileW(longPath(path).c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_EQ(errorOf([&] { m_files.OpenTextFile(path, io::ForWriting, true, io::TristateFalse); }),
              70);
    CloseHandle(locked);
    EXPECT_EQ(test::readBytes(path), "alt");
}

TEST_F(Win32FileSystemTest, TextStreamsWriteTheCodePageAndReadEveryLineEnd) {
    const std::string path = m_temp.at("Bericht ä.txt");
    auto writer = m_files.OpenTextFile(path, io::ForWriting, true, io::TristateFalse);
    writer->Write("Gehäuse\r\nzwei\nvier\rfünf");
    writer->Close();
    EXPECT_EQ(test::readBytes(path), "Geh\xE4use\r\nzwei\nvier\rf\xFCnf");

    auto appender = m_files.OpenTextFile(path, io::ForAppending, false, io::TristateFalse);
    appender->Write("€\r\n");
    appender->Close();

    auto reader = m_files.OpenTextFile(path, io::ForReading, false, io::TristateUseDefault);
    std::vector<std::string> lines;
    while (!reader->AtEndOfStream()) {
        lines.push_back(reader->ReadLine());
    }
    EXPECT_THAT(lines, ElementsAre("Gehäuse", "zwei", "vier", "fünf€"));
    EXPECT_EQ(errorOf([&] { reader->ReadLine(); }), 62);
}

TEST_F(Win32FileSystemTest, UnicodeStreamsCarryAByteOrderMark) {
    const std::string path = m_temp.at("unicode.txt");
    auto writer = m_files.OpenTextFile(path, io::ForWriting, true, io::TristateTrue);
    writer->Write("Ω\r\n");
    writer->Close();
    EXPECT_EQ(test::readBytes(path), std::string("\xFF\xFE\xA9\x03\r\0\n\0", 8));
    EXPECT_EQ(m_files.OpenTextFile(path, io::ForReading, false, io::TristateTrue)->ReadLine(), "Ω");
}

TEST_F(Win32FileSystemTest, WritingEmptiesAnExistingFileFirst) {
    const std::string path = m_temp.file("QZVExportRef.txt", "ein langer alter Bericht");
    auto writer = m_files.OpenTextFile(path, io::ForWriting, true, io::TristateFalse);
    writer->Write("neu");
    writer->Close();
    EXPECT_EQ(test::readBytes(path), "neu");
}

TEST(Win32Paths, NetworkSharesAndDrivesAreNormalisedAndLengthened) {
    EXPECT_EQ(fullPath("\\\\server\\share\\Projekt\\..\\Normteile\\"),
              "\\\\server\\share\\Normteile");
    EXPECT_EQ(utf8Text(longPath("\\\\server\\share\\a.par")), "\\\\?\\UNC\\server\\share\\a.par");
    EXPECT_EQ(fullPath("C:/Daten/./Teil.par"), "C:\\Daten\\Teil.par");
    EXPECT_EQ(utf8Text(longPath("C:\\Daten\\Teil.par")), "\\\\?\\C:\\Daten\\Teil.par");
    EXPECT_EQ(fullPath("C:\\"), "C:\\");
}

} // namespace
} // namespace ostrevan
