// The folder scan through the real main window over copies of real Solid Edge project folders:
// "Verzeichnis", sub-folders included, "Anzeigen", "Export", the report read back.

#include "app/frmMain.h"

#include "platform/RegistryFileTypes.h"
#include "platform/Text.h"
#include "platform/ole/LinkReaderServers.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/RegistryStore.h"
#include "scan/clsSettings.h"
#include "tests/support/FakeWindowServices.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WidgetLookup.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace ostrevan {
namespace {

using namespace fakes;

const std::string kReal =
    std::filesystem::path(OSTREVAN_REAL_DOCUMENTS).lexically_normal().string();

const std::string kMount = "Aveo PowerBurst NG Daylight Mount";
const std::string kTraining = "C:\\Workdir\\perforce\\jccrumbl_PL2USHSV0061NB\\XPS\\products\\"
                              "solidedge\\se2023\\english\\training\\";

struct Row {
    std::string document;  // below the chosen folder
    std::string reference; // below the chosen folder, or a stored Windows path
};

// What the copied documents link to, in the order of the scan: each folder's documents by
// name, then its sub-folders by name; each document's links once, in the order stored.
std::vector<Row> allLinks() {
    const std::string printable = kMount + "/3D Printable/Aveo PowerBurst NG Daylite ";
    const std::string molds = kMount + "/Composite Molds/Aveo PowerBurst NG Daylite ";
    return {
        {printable + "Mount Assembly.asm", "@" + printable + "Mount-Right.par"},
        {printable + "Mount Assembly.asm", "@" + printable + "Rear Stand-off.par"},
        {molds + "Mold Assembly.asm", "@" + molds + "Mount-Mold-Cavity.par"},
        {molds + "Mold Assembly.asm", "@" + molds + "Mount-Mold-Core.par"},
        {molds + "Mount-Mold-Cavity.par", "@" + molds + "Mount-With-Draft.par"},
        {molds + "Mount-Mold-Core.par", "@" + molds + "Mount-With-Draft.par"},
        {"se-seu14/003944_A.dft",
         "\\\\hsv013st5i\\DavWWWRoot\\wip\\Schmidt\\Cab\\Cab\\Components\\003944_A.par"},
        {"se-seu14/2p261887e.dft", "C:\\LDM_WORK\\murakamikat\\K\\ctc\\ez9-280-ev-assy-04.asm"},
        {"se-seu14/Engine1.dft", "C:\\Program Files\\Solid Edge ST7\\Training\\Engine1.asm"},
        {"upload-0c8fc18/FamilyASM.asm", kTraining + "chead.par"},
        {"upload-0c8fc18/FamilyASM.asm", kTraining + "Splate.par"},
        {"upload-0c8fc18/FamilyASM.asm", kTraining + "mtgpin.par"},
        {"upload-0c8fc18/SimpleASM.asm", kTraining + "chead.par"},
        {"upload-0c8fc18/SimpleASM.asm", kTraining + "Splate.par"},
        {"upload-0c8fc18/SimpleASM.asm", kTraining + "mtgpin.par"},
    };
}

class RealFolderScan : public ::testing::Test, protected FakeWindowServices {
protected:
    void SetUp() override {
        if (!std::filesystem::is_regular_file(kReal + "/MANIFEST.md")) {
            GTEST_SKIP() << "no real documents at " << kReal
                         << ": the scan of real folders is skipped";
        }
        registerLinkReaderServers(automation, temp.folder("Konfiguration"),
                                  [](const std::string&) {});
        chosen = temp.folder("Projekte");
        for (const std::string& folder :
             {"se-sonex/" + kMount, std::string("se-openmcdf/upload-0c8fc18"),
              std::string("se-seu14")}) {
            std::filesystem::copy(kReal + "/" + folder,
                                  chosen + "/" + std::filesystem::path(folder).filename().string(),
                                  std::filesystem::copy_options::recursive);
        }
    }

    // The rows as the report writes them, in Windows-1252: inside references as paths of the
    // copy.
    std::string report(const std::vector<Row>& rows) const {
        std::string text =
            "Anzahl  SolidEdge Dokument - Referenz\r\n" + std::string(82, '-') + "\r\n";
        int number = 0;
        for (const Row& row : rows) {
            char counter[16];
            std::snprintf(counter, sizeof counter, "%05d", ++number);
            const std::string reference = row.reference.starts_with("@")
                                              ? chosen + "/" + row.reference.substr(1)
                                              : row.reference;
            text += std::string(counter) + "   " + chosen + "/" + row.document + " - " + reference +
                    "\r\n";
        }
        return toWindows1252(text);
    }

    void click(const char* name) { test::clickButton(*window, name); }

    // The reference type from the box's list, the folder through "Verzeichnis", recursion
    // on, then "Anzeigen" and "Export".
    void scanAndExport(int referenceType) {
        click("btn_Weiter");
        auto& combo = test::findControl<QComboBox>(*window, "com_RefType");
        combo.showPopup();
        QAbstractItemView& list = *combo.view();
        const QRect entry = list.visualRect(list.model()->index(referenceType, 0));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, entry.center());
        folderChooser.choose(chosen);
        click("btn_Folder");
        ASSERT_EQ(window->Settings().Rekurisv(), 1);
        ASSERT_EQ(window->Settings().ReferenzTyp(), referenceType);
        click("btn_Weiter");
        click("btn_ReferenzView");
        click("btn_export");
    }

    std::string exported() const { return test::readBytes(temp.at("QZVExportRef.txt")); }

    test::TempFolder temp;
    std::string chosen;
    RegistryStore registry{temp.at("registry.sqlite3")};
    RegistryFileTypes types{registry};
    PosixFileSystem fileSystem{types};
    std::unique_ptr<frmMain> window = std::make_unique<frmMain>(services(fileSystem, temp.path()));
};

TEST_F(RealFolderScan, AllReferencesOfTheRealDocuments) {
    scanAndExport(1);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(exported(), report(allLinks()));
}

TEST_F(RealFolderScan, ReferencesOutsideTheChosenFolderAreTheMissingOnes) {
    scanAndExport(0);
    std::vector<Row> outside;
    for (const Row& row : allLinks()) {
        if (!row.reference.starts_with("@")) {
            outside.push_back(row);
        }
    }
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(exported(), report(outside));
}

} // namespace
} // namespace ostrevan
