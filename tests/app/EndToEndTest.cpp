// A folder scan through the real main window over a real tree of compound documents.

#include "app/frmMain.h"

#include "platform/Automation.h"
#include "platform/RegistryFileTypes.h"
#include "platform/ole/LinkReaderServers.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/RegistryStore.h"
#include "scan/clsSettings.h"
#include "tests/support/TempFolder.h"
#include "tests/support/CompoundFixture.h"
#include "tests/support/FakeWindowServices.h"
#include "tests/support/WidgetLookup.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

using namespace fakes;
using Rows = std::vector<std::vector<std::string>>;

// The project "Projekt Ä" beside a sibling whose name extends it and a library outside:
//   Projekt Ä/Baugruppe.asm  -> Deckel.par (inside), Teile/Welle.par (inside),
//                               Bibliothek/Schraube M6.par, Projekt Ä2/Flansch.par,
//                               fehlt/weg.par (missing)
//   Projekt Ä/Deckel.par     -> no links
//   Projekt Ä/.versteckt/Alt.par -> Deckel.par (inside)
//   Projekt Ä/Teile/Welle.par    -> Bibliothek/Mutter M6.par
//   Projekt Ä/Teile/zurück   -> a symbolic link to Projekt Ä
//   Projekt Ä/notes.txt, Projekt Ä/Einstellungen.cfg: not documents
class FolderScanEndToEnd : public ::testing::Test, protected FakeWindowServices {
protected:
    FolderScanEndToEnd() {
        registerLinkReaderServers(
            automation, temp.folder("Konfiguration"),
            [this](const std::string& line) { ignoredLines.push_back(line); });

        project = temp.folder("Projekt Ä");
        document("Projekt Ä/Baugruppe.asm",
                 {at("Projekt Ä/Deckel.par"), at("Projekt Ä/Teile/Welle.par"),
                  at("Bibliothek/Schraube M6.par"), at("Projekt Ä2/Flansch.par"),
                  at("fehlt/weg.par")});
        document("Projekt Ä/Deckel.par", {});
        document("Projekt Ä/.versteckt/Alt.par", {at("Projekt Ä/Deckel.par")});
        document("Projekt Ä/Teile/Welle.par", {at("Bibliothek/Mutter M6.par")});
        temp.link("Projekt Ä/Teile/zurück", project);
        temp.file("Projekt Ä/notes.txt", "Notizen");
        document("Projekt Ä/Einstellungen.cfg", {at("Bibliothek/Schraube M6.par")});
        document("Projekt Ä2/Flansch.par", {at("Bibliothek/Schraube M6.par")});
        document("Bibliothek/Schraube M6.par", {});
        document("Bibliothek/Mutter M6.par", {});
    }

    std::string at(const std::string& relative) const { return temp.at(relative); }

    void document(const std::string& relative, const std::vector<std::string>& links) {
        std::vector<fixture::FixtureLink> stored;
        for (const std::string& link : links) {
            stored.push_back({link});
        }
        const std::string path = temp.file(relative);
        fixture::writeCompoundDocument(path, stored, 2048);
    }

    template <class Widget> Widget& child(const char* name) {
        return test::findControl<Widget>(*window, name);
    }
    void click(const char* name) { test::clickButton(*window, name); }

    // Chooses the folder through "Verzeichnis", unticks the recursion box when asked, and
    // goes on to the result page.
    void chooseFolder(const std::string& folder, bool recursive) {
        click("btn_Weiter");
        folderChooser.choose(folder);
        click("btn_Folder");
        ASSERT_EQ(window->Settings().Dokumentyp(), 1);
        if (!recursive) {
            QTest::mouseClick(&child<QCheckBox>("chk_FolderRekursiv"), Qt::LeftButton);
        }
        click("btn_Weiter");
    }

    Rows shownRows() {
        const QAbstractItemModel& model = *child<QTableView>("ListView1").model();
        Rows rows;
        for (int row = 0; row < model.rowCount(); ++row) {
            std::vector<std::string> cells;
            for (int column = 0; column < model.columnCount(); ++column) {
                cells.push_back(model.index(row, column).data().toString().toStdString());
            }
            rows.push_back(cells);
        }
        return rows;
    }

    test::TempFolder temp;
    std::string project;
    // A new store holds the Solid Edge file types.
    RegistryStore registry{temp.at("registry.sqlite3")};
    RegistryFileTypes types{registry};
    PosixFileSystem fileSystem{types};
    std::vector<std::string> ignoredLines;
    std::unique_ptr<frmMain> window = std::make_unique<frmMain>(services(fileSystem, temp.path()));
};

TEST_F(FolderScanEndToEnd, ListsEveryLinkThatLeavesTheChosenFolder) {
    chooseFolder(project, true);
    click("btn_ReferenzView");
    const std::string assembly = at("Projekt Ä/Baugruppe.asm");
    EXPECT_EQ(shownRows(),
              (Rows{{"1", assembly, at("Bibliothek/Schraube M6.par")},
                    {"2", assembly, at("Projekt Ä2/Flansch.par")},
                    {"3", assembly, at("fehlt/weg.par")},
                    {"4", at("Projekt Ä/Teile/Welle.par"), at("Bibliothek/Mutter M6.par")}}));
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(child<QPushButton>("btn_export").isEnabled());
    EXPECT_TRUE(child<QLabel>("lbl_references").text().isEmpty());
    EXPECT_TRUE(child<QLabel>("lbl_CheckRef").text().isEmpty());
    EXPECT_EQ(pointer.history, (std::vector<std::int16_t>{11, 0}));
    EXPECT_TRUE(exitCodes.empty());
    EXPECT_TRUE(ignoredLines.empty());
}

TEST_F(FolderScanEndToEnd, WithoutRecursionOnlyTheChosenFoldersDocuments) {
    chooseFolder(project + "/", false);
    click("btn_ReferenzView");
    const std::string assembly = at("Projekt Ä/Baugruppe.asm");
    EXPECT_EQ(shownRows(), (Rows{{"1", assembly, at("Bibliothek/Schraube M6.par")},
                                 {"2", assembly, at("Projekt Ä2/Flansch.par")},
                                 {"3", assembly, at("fehlt/weg.par")}}));
}

TEST_F(FolderScanEndToEnd, AFolderWithoutDocumentsFindsNothing) {
    chooseFolder(temp.folder("Leer"), true);
    click("btn_ReferenzView");
    EXPECT_TRUE(shownRows().empty());
    EXPECT_EQ(messages.messages,
              std::vector<std::string>{"Es konnten keine Referenzen gefunden werden."});
    EXPECT_FALSE(child<QPushButton>("btn_export").isEnabled());
}

TEST_F(FolderScanEndToEnd, AFolderThatHasGoneIsReportedAndTheScanEnds) {
    const std::string gone = temp.folder("weg");
    chooseFolder(gone, true);
    std::filesystem::remove(gone);
    click("btn_ReferenzView");
    EXPECT_EQ(messages.messages,
              (std::vector<std::string>{"RekursivFolder() Pfad nicht gefunden 76",
                                        "Es konnten keine Referenzen gefunden werden."}));
    EXPECT_TRUE(exitCodes.empty());
}

} // namespace
} // namespace ostrevan
