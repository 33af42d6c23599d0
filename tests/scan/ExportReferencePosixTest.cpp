// The report on a POSIX file system: a full disk and a link where the report goes.

#include "scan/ExportReference.h"

#include "tests/scan/ReportFixture.h"
#include "tests/support/FileSizeLimit.h"

#include <filesystem>

namespace ostrevan::test {
namespace {

TEST_F(ReportTest, AFullDiskIsReportedAndTheOldReportStays) {
    const std::string path = temp.file("QZVExportRef.txt", "alter Bericht\r\n");
    for (int i = 1; i <= 100; ++i) {
        addRow(std::to_string(i), "/Daten/Baugruppe.asm", "/Normteile/Teil.par");
    }
    {
        const FileSizeLimit full(1000);
        ExportReference(context, path);
    }
    EXPECT_EQ(messages.messages,
              (std::vector<std::string>{"ExportReference() Datenträger voll 61"}));
    EXPECT_EQ(fileBytes(path), "alter Bericht\r\n");
}

TEST_F(ReportTest, AReportNameThatIsALinkIsRefusedAndWhatItNamesIsKept) {
    const std::string victim = temp.file("Eigene Dateien/Diplomarbeit.txt", "Kapitel 1\n");
    const std::string path = temp.link("QZVExportRef.txt", victim);
    addRow("1", "/a.asm", "/b.par");
    btn_export_Click(context, shell, temp.path());
    ASSERT_EQ(messages.messages.size(), 1u) << seen();
    EXPECT_EQ(messages.messages[0], "ExportReference() " + path +
                                        " ist keine gewöhnliche Datei und wird nicht ersetzt 75");
    EXPECT_EQ(fileBytes(victim), "Kapitel 1\n");
    EXPECT_TRUE(std::filesystem::is_symlink(path));
}

} // namespace
} // namespace ostrevan::test
