#include "scan/ExportReference.h"

#include "platform/Error.h"
#include "scan/MainForm.h"
#include "tests/scan/ReportFixture.h"

#include <filesystem>

namespace ostrevan::test {
namespace {

using fakes::Row;

struct ReportCase {
    const char* name;
    std::vector<Row> rows;
    std::string expected;
};

std::string line(const std::string& bytes) {
    return bytes + "\r\n";
}

const ReportCase kReportCases[] = {
    {"WorkedExample",
     {{"1", "C:\\Konstruktion\\Getriebe.asm", "C:\\Konstruktion\\Welle.par"},
      {"2", "C:\\Konstruktion\\Getriebe.asm", "D:\\Normteile\\Schraube.par"}},
     kHeaderLine + kRuleLine +
         line("00001   C:\\Konstruktion\\Getriebe.asm - C:\\Konstruktion\\Welle.par") +
         line("00002   C:\\Konstruktion\\Getriebe.asm - D:\\Normteile\\Schraube.par")},
    {"EmptyList", {}, kHeaderLine + kRuleLine},
    {"RowSevenIsPadded",
     {{"7", "/a.asm", "/b.par"}},
     kHeaderLine + kRuleLine + line("00007   /a.asm - /b.par")},
    {"FiveDigitsStay",
     {{"99999", "/a.asm", "/b.par"}},
     kHeaderLine + kRuleLine + line("99999   /a.asm - /b.par")},
    {"SixDigitsAreWrittenInFull",
     {{"123456", "/a.asm", "/b.par"}},
     kHeaderLine + kRuleLine + line("123456   /a.asm - /b.par")},
    {"SeparatorInsideANameIsKept",
     {{"1", "/Daten/Welle - Kopie.asm", "/Normteile/M6 - DIN 912.par"}},
     kHeaderLine + kRuleLine +
         line("00001   /Daten/Welle - Kopie.asm - /Normteile/M6 - DIN 912.par")},
    {"EmptyNamesStillGetTheSeparators",
     {{"3", "", ""}},
     kHeaderLine + kRuleLine + line("00003    - ")},
    {"GermanLettersAreOneByteEach",
     {{"1", "/Daten/Gehäuse.asm", "/Daten/Fuß €.par"}},
     kHeaderLine + kRuleLine + line("00001   /Daten/Geh\xE4use.asm - /Daten/Fu\xDF \x80.par")},
    {"LineBreaksInNamesForgeNoLines",
     {{"1", "/Daten/a\r\n00099   FORGED - x.asm", "/Lib/b\n.par"},
      {"2\r\n", "/Daten/\tc\x1F.asm", "/Lib/d\x7F.par"}},
     kHeaderLine + kRuleLine + line("00001   /Daten/a??00099   FORGED - x.asm - /Lib/b?.par") +
         line("2??   /Daten/?c?.asm - /Lib/d\x7F.par")},
    {"BytesThatAreNotUtf8AreWrittenAsTheyWere",
     {{"1", "/Daten/Geh\xE4use.asm", "/Lib/Fl\xFCgel \x80.par"}},
     kHeaderLine + kRuleLine + line("00001   /Daten/Geh\xE4use.asm - /Lib/Fl\xFCgel \x80.par")},
    {"CharactersOutsideTheCodePageBecomeQuestionMarks",
     {{"1", "/Daten/Ωmega.asm", "/Daten/部品.par"}},
     kHeaderLine + kRuleLine + line("00001   /Daten/?mega.asm - /Daten/??.par")},
};

class ExportReferenceBytes : public ReportTest, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(ExportReferenceBytes, WritesTheReportByteForByte) {
    for (const Row& row : GetParam().rows) {
        addRow(row.number, row.document, row.reference);
    }
    const std::string path = temp.at("QZVExportRef.txt");
    ExportReference(context, path);
    EXPECT_EQ(fileBytes(path), GetParam().expected);
    EXPECT_TRUE(messages.messages.empty()) << seen();
    EXPECT_EQ(fake.ListView1.count(), static_cast<std::int32_t>(GetParam().rows.size()))
        << "the list is only read";
}

INSTANTIATE_TEST_SUITE_P(Report, ExportReferenceBytes, ::testing::ValuesIn(kReportCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReportTest, WorkedExampleAndEmptyListHaveTheirSizes) {
    const std::string path = temp.at("QZVExportRef.txt");
    ExportReference(context, path);
    EXPECT_EQ(std::filesystem::file_size(pathOf(path)), 123U);
    addRow("1", "C:\\Konstruktion\\Getriebe.asm", "C:\\Konstruktion\\Welle.par");
    addRow("2", "C:\\Konstruktion\\Getriebe.asm", "D:\\Normteile\\Schraube.par");
    ExportReference(context, path);
    EXPECT_EQ(std::filesystem::file_size(pathOf(path)), 255U);
}

TEST_F(ReportTest, AShorterReportLeavesNoTailOfTheLongerOne) {
    const std::string path = temp.at("Bericht ä/.QZVExportRef.txt");
    std::filesystem::create_directories(pathOf(path).parent_path());
    for (int i = 1; i <= 3; ++i) {
        addRow(std::to_string(i), "/Daten/Baugruppe.asm", "/Normteile/Teil" + std::to_string(i));
    }
    ExportReference(context, path);
    fake.ListView1.rows.resize(1);
    ExportReference(context, path);
    EXPECT_EQ(fileBytes(path),
              kHeaderLine + kRuleLine + line("00001   /Daten/Baugruppe.asm - /Normteile/Teil1"));
}

// Raises 9 for every row from the given one on, as a list whose rows went away would.
class FailingListView final : public ListView {
public:
    FailingListView(std::int32_t rows, std::int32_t firstFailing)
        : m_rows(rows), m_firstFailing(firstFailing) {}
    void clear() override {}
    std::int32_t count() const override { return m_rows; }
    std::int32_t add(const std::string&) override { return 0; }
    void setText(std::int32_t, int, const std::string&) override {}
    std::string text(std::int32_t row, int column) const override {
        if (row >= m_firstFailing) {
            raise(err::SubscriptOutOfRange);
        }
        return column == 0 ? std::to_string(row) : "/d" + std::to_string(column);
    }

private:
    std::int32_t m_rows;
    std::int32_t m_firstFailing;
};

TEST_F(ReportTest, AnErrorLeavesTheOldReportWhole) {
    FailingListView list(5, 3);
    MainForm form{fake.lbl_references,
                  fake.lbl_CheckRef,
                  fake.txt_SEDokument,
                  fake.btn_Weiter,
                  fake.btn_zurueck,
                  fake.btn_export,
                  fake.chk_FolderRekursiv,
                  fake.com_RefType,
                  list,
                  fake.SSTab1};
    ScanContext failing{form, settings, messages, pointer, automation, fileSystem};
    const std::string path = temp.file("QZVExportRef.txt", "alter Bericht\r\n");
    ExportReference(failing, path);
    EXPECT_EQ(messages.messages, (std::vector<std::string>{
                                     "ExportReference() Index außerhalb des gültigen Bereichs 9"}));
    EXPECT_EQ(fileBytes(path), "alter Bericht\r\n");
    EXPECT_EQ(folderNames(temp.path()), std::vector<std::string>{"QZVExportRef.txt"})
        << "no new file is left beside the report";
}

TEST_F(ReportTest, AMissingFolderIsReported) {
    ExportReference(context, temp.at("fehlt/QZVExportRef.txt"));
    EXPECT_EQ(messages.messages,
              (std::vector<std::string>{"ExportReference() Pfad nicht gefunden 76"}));
}

TEST_F(ReportTest, ExportWritesTheReportIntoTheFolderAndOpensIt) {
    addRow("1", "/Daten/Getriebe.asm", "/Normteile/Welle.par");
    btn_export_Click(context, shell, temp.path());
    const std::string path = temp.at("QZVExportRef.txt");
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"Open " + path}));
    EXPECT_TRUE(messages.messages.empty()) << seen();
    EXPECT_EQ(fileBytes(path),
              kHeaderLine + kRuleLine + line("00001   /Daten/Getriebe.asm - /Normteile/Welle.par"));
}

TEST_F(ReportTest, AFolderEndingInASeparatorGetsNoSecondOne) {
    btn_export_Click(context, shell, temp.path() + "/");
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"Open " + temp.path() + "/QZVExportRef.txt"}));
}

TEST_F(ReportTest, WithoutAReportTheUserIsToldItsPath) {
    const std::string folder = temp.at("fehlt");
    btn_export_Click(context, shell, folder);
    EXPECT_EQ(messages.messages,
              (std::vector<std::string>{"ExportReference() Pfad nicht gefunden 76",
                                        "Datei konnte nicht gefunden werden. \r\n" + folder +
                                            kSeparator + "QZVExportRef.txt"}));
    EXPECT_TRUE(shell.calls.empty()) << seen();
}

} // namespace
} // namespace ostrevan::test
