// Where the report goes on Windows: the program's folder where this user may write there,
// else the local application data.

#include "platform/ReportFolder.h"
#include "platform/UserFolders.h"
#include "platform/win32/Win32Shell.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ostrevan {
namespace {

TEST(Win32ReportFolder, AWritableProgramFolderHoldsTheReport) {
    const test::TempFolder temp;
    const std::string folder = temp.folder("Programm Größe");
    EXPECT_TRUE(folderWritable(folder));
    EXPECT_EQ(reportFolder(folder), folder);
    EXPECT_TRUE(std::filesystem::is_empty(test::pathOf(folder))) << "the probe is gone";
}

TEST(Win32ReportFolder, WhatIsNoFolderFallsBackToTheDataFolder) {
    const test::TempFolder temp;
    const std::string file = temp.file("Datei.txt", "x");
    for (const std::string& folder : {temp.at("fehlt"), file, std::string()}) {
        EXPECT_FALSE(folderWritable(folder)) << folder;
        EXPECT_EQ(reportFolder(folder), userDataFolder()) << folder;
    }
    EXPECT_TRUE(std::filesystem::is_directory(test::pathOf(userDataFolder())));
}

TEST(Win32ShellHandOff, AFileThatIsNotThereIsNotOpened) {
    const test::TempFolder temp;
    Win32Shell shell;
    EXPECT_FALSE(shell.execute("Open", temp.at("QZVExportRef.txt")));
}

} // namespace
} // namespace ostrevan
