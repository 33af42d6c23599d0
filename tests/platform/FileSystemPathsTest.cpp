#include "platform/FileSystem.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

struct PathRow {
    const char* path;
    const char* parent;
    const char* name;
    const char* extension;
};

TEST(FileSystemPaths, HelpersTakeBothSeparators) {
    const PathRow rows[] = {
        {"C:\\Data\\a.par", "C:\\Data", "a.par", "par"},
        {"C:\\Data\\Sub\\", "C:\\Data", "Sub", ""},
        {"C:\\a.par", "C:\\", "a.par", "par"},
        {"C:\\", "", "", ""},
        {"e.par", "", "e.par", "par"},
        {"/home/u/p/a.b.asm", "/home/u/p", "a.b.asm", "asm"},
        {"/a.par", "/", "a.par", "par"},
        {"/", "", "", ""},
        {"\\\\server\\share\\x\\y.dft", "\\\\server\\share\\x", "y.dft", "dft"},
        {"/home/u/.hidden", "/home/u", ".hidden", "hidden"},
        {"/home/u/noext", "/home/u", "noext", ""},
        {"", "", "", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FileSystem::GetParentFolderName(row.path), row.parent) << row.path;
        EXPECT_EQ(FileSystem::GetFileName(row.path), row.name) << row.path;
        EXPECT_EQ(FileSystem::GetExtensionName(row.path), row.extension) << row.path;
    }
}

TEST(FileSystemPaths, TheLastSeparatorIsFoundWhereverItLies) {
    // Names and folders of every length around the eight bytes looked at together.
    for (std::size_t folderLength = 1; folderLength <= 18; ++folderLength) {
        for (std::size_t nameLength = 1; nameLength <= 18; ++nameLength) {
            for (const char* separator : {"/", "\\"}) {
                for (const char* trailing : {"", "/", "\\\\"}) {
                    const std::string folder = "C:/" + std::string(folderLength, 'a');
                    const std::string name(nameLength, 'b');
                    const std::string path = folder + separator + name + trailing;
                    EXPECT_EQ(FileSystem::FileNameView(path), name) << path;
                    EXPECT_EQ(FileSystem::ParentFolderView(path), folder) << path;
                }
            }
        }
    }
}

TEST(FileSystemPaths, BuildPathAddsOneSeparator) {
    EXPECT_EQ(FileSystem::BuildPath("/opt/ostrevan", "QZVExportRef.txt"),
              "/opt/ostrevan/QZVExportRef.txt");
    EXPECT_EQ(FileSystem::BuildPath("/", "QZVExportRef.txt"), "/QZVExportRef.txt");
    EXPECT_EQ(FileSystem::BuildPath("C:\\Programme", "x.txt"), "C:\\Programme\\x.txt");
    EXPECT_EQ(FileSystem::BuildPath("C:\\", "x.txt"), "C:\\x.txt");
    EXPECT_EQ(FileSystem::BuildPath("", "x.txt"), "x.txt");
}

} // namespace
} // namespace ostrevan
