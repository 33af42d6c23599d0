#include "platform/ReportFolder.h"

#include "scan/ExportReference.h"
#include "tests/scan/ReportFixture.h"
#include "tests/support/Unprivileged.h"

#include <filesystem>

namespace ostrevan::test {
namespace {

namespace fs = std::filesystem;

constexpr fs::perms kReadOnlyFolder = fs::perms::owner_read | fs::perms::owner_exec |
                                      fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec;

// A report test whose user's data folder lies in the temporary folder, open to everyone so
// that an unprivileged check may write there.
class ReportFolderTest : public ReportTest {
protected:
    ReportFolderTest() { fs::permissions(dataHome, fs::perms::all); }

    std::string dataFolder() const { return dataHome + "/Ostrevan"; }
    std::string programFolder(fs::perms rights) const {
        const std::string folder = temp.folder("Programm Größe");
        fs::permissions(folder, rights);
        return folder;
    }

    const std::string dataHome = temp.folder(".local share");
    const ScopedEnvironment xdgDataHome{"XDG_DATA_HOME", dataHome};
};

TEST_F(ReportFolderTest, AWritableProgramFolderHoldsTheReport) {
    const std::string folder = programFolder(fs::perms::owner_all);
    EXPECT_TRUE(folderWritable(folder));
    EXPECT_EQ(reportFolder(folder), folder);
}

TEST_F(ReportFolderTest, WhatIsNoFolderFallsBackToTheDataFolder) {
    const std::string file = temp.file("Datei.txt", "x");
    for (const std::string& folder : {temp.at("fehlt"), file, file + "/unter", std::string()}) {
        EXPECT_FALSE(folderWritable(folder)) << folder;
        EXPECT_EQ(reportFolder(folder), dataFolder()) << folder;
    }
    EXPECT_TRUE(fs::is_directory(dataFolder())) << "made on first use";
}

TEST_F(ReportFolderTest, TheInstalledProgramsFolderIsNeverUsedEvenWhenWritable) {
    // Root may write there, yet the report still goes to the data folder.
    const std::string installed = installedProgramFolder();
    ASSERT_TRUE(installed.ends_with("/bin")) << installed;
    EXPECT_EQ(reportFolder(installed), dataFolder());
}

TEST_F(ReportFolderTest, AWriteProtectedProgramFolderFallsBackToTheDataFolder) {
    addRow("1", "/Daten/Getriebe.asm", "/Normteile/Welle.par");
    const std::string program = programFolder(kReadOnlyFolder);
    expectUnprivileged([&]() -> std::string {
        if (folderWritable(program)) {
            return "the program folder counts as writable";
        }
        btn_export_Click(context, shell, reportFolder(program));
        const std::string path = dataFolder() + "/QZVExportRef.txt";
        if (shell.calls != std::vector<std::string>{"Open " + path} || !messages.messages.empty()) {
            return seen();
        }
        if (fileBytes(path) !=
            kHeaderLine + kRuleLine + "00001   /Daten/Getriebe.asm - /Normteile/Welle.par\r\n") {
            return "wrong report in " + path;
        }
        return fs::exists(program + "/QZVExportRef.txt") ? "report in the program folder" : "";
    });
}

TEST_F(ReportFolderTest, BothFoldersWriteProtectedAndNoEarlierReport) {
    const std::string program = programFolder(kReadOnlyFolder);
    fs::create_directories(dataFolder());
    fs::permissions(dataFolder(), kReadOnlyFolder);
    expectUnprivileged([&]() -> std::string {
        btn_export_Click(context, shell, reportFolder(program));
        const std::vector<std::string> expected{"ExportReference() Zugriff verweigert 70",
                                                "Datei konnte nicht gefunden werden. \r\n" +
                                                    dataFolder() + "/QZVExportRef.txt"};
        return messages.messages == expected && shell.calls.empty() ? "" : seen();
    });
}

TEST_F(ReportFolderTest, AnUnwritableEarlierReportIsReportedAndOpened) {
    addRow("1", "/Daten/Getriebe.asm", "/Normteile/Welle.par");
    const std::string program = programFolder(fs::perms::all);
    const std::string earlier = "alter Bericht\r\n";
    const std::string path = temp.file("Programm Größe/QZVExportRef.txt", earlier);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    expectUnprivileged([&]() -> std::string {
        btn_export_Click(context, shell, reportFolder(program));
        if (messages.messages !=
                std::vector<std::string>{"ExportReference() Zugriff verweigert 70"} ||
            shell.calls != std::vector<std::string>{"Open " + path}) {
            return seen();
        }
        return fileBytes(path) == earlier ? "" : "the earlier report changed";
    });
}

} // namespace
} // namespace ostrevan::test
