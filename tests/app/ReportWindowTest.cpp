#include "app/frmMain.h"

#include "platform/Controls.h"
#include "platform/posix/PosixFileSystem.h"
#include "scan/MainForm.h"
#include "scan/modGlobal.h"
#include "tests/support/FakeFileTypes.h"
#include "tests/support/TempFolder.h"
#include "tests/scan/ReportFixture.h"
#include "tests/support/FakeWindowServices.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace ostrevan::test {
namespace {

using namespace fakes;

// A scan that finds the given rows and writes them through the window's own list.
class FoundRows final : public ScanProcedures {
public:
    FoundRows(ListView& list, std::vector<Row> rows) : m_list(list), m_rows(std::move(rows)) {}
    void GetFileReferenz() override {
        for (const Row& row : m_rows) {
            const std::int32_t item = m_list.add(row.number);
            m_list.setText(item, 1, row.document);
            m_list.setText(item, 2, row.reference);
        }
    }
    void RekursivFolder(std::string&, DocumentFileList&, std::int32_t&) override {}
    void ReadReference(std::string&, DocumentFileList&, std::int32_t&) override {}

private:
    ListView& m_list;
    std::vector<Row> m_rows;
};

class ReportWindow : public ::testing::Test {
protected:
    std::unique_ptr<frmMain> makeWindow(const std::string& programFolder) {
        return std::make_unique<frmMain>(outside.services(fileSystem, programFolder));
    }
    void scanAndExport(frmMain& window, std::vector<Row> rows) {
        window.setScanProcedures(
            std::make_unique<FoundRows>(window.form().ListView1, std::move(rows)));
        click(window, "btn_ReferenzView");
        click(window, "btn_export");
    }
    static void click(frmMain& window, const char* name) {
        auto* button = window.findChild<QPushButton*>(QString::fromUtf8(name));
        ASSERT_NE(button, nullptr) << name;
        ASSERT_TRUE(button->isEnabled()) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    TempFolder temp;
    FakeFileTypes types;
    PosixFileSystem fileSystem{types};
    FakeWindowServices outside;
};

TEST_F(ReportWindow, ExportAfterAScanWritesTheReportAndOpensIt) {
    const std::string folder = temp.folder("Zelvarin Größe");
    const auto window = makeWindow(folder);
    scanAndExport(*window, {{"1", "/Daten/Getriebe.asm", "/Daten/Welle.par"},
                            {"2", "/Daten/Getriebe.asm", "/Normteile/Schraube ä.par"}});
    const std::string path = folder + "/QZVExportRef.txt";
    EXPECT_EQ(outside.shell.calls, (std::vector<std::string>{"Open " + path}));
    EXPECT_TRUE(outside.messages.messages.empty());
    EXPECT_EQ(fileBytes(path),
              kHeaderLine + kRuleLine +
                  "00001   /Daten/Getriebe.asm - /Daten/Welle.par\r\n"
                  "00002   /Daten/Getriebe.asm - /Normteile/Schraube \xE4.par\r\n");
    EXPECT_TRUE(outside.exitCodes.empty());
}

TEST_F(ReportWindow, AProgramFolderThatCannotHoldTheReportSendsItToTheDataFolder) {
    const std::string dataHome = temp.folder("Daten Heim");
    const ScopedEnvironment xdgDataHome("XDG_DATA_HOME", dataHome);
    const auto window = makeWindow(temp.at("gibt es nicht"));
    scanAndExport(*window, {{"1", "/a.asm", "/b.par"}});
    const std::string path = dataHome + "/Ostrevan/QZVExportRef.txt";
    EXPECT_EQ(outside.shell.calls, (std::vector<std::string>{"Open " + path}));
    EXPECT_EQ(fileBytes(path), kHeaderLine + kRuleLine + "00001   /a.asm - /b.par\r\n");
}

} // namespace
} // namespace ostrevan::test
