#include "tests/app/SelectionWindow.h"

#include "scan/clsSettings.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

namespace ostrevan::test {
namespace {

using Strings = std::vector<std::string>;

constexpr const char* kRefused = "Nur SolidEdge können gewählt werden.";

class SelectionPage : public SelectionWindow {
protected:
    void pickEntry(int index) {
        auto& combo = child<QComboBox>("com_RefType");
        combo.showPopup();
        QAbstractItemView& list = *combo.view();
        const QRect entry = list.visualRect(list.model()->index(index, 0));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, entry.center());
    }
    void expectNothingChosen() {
        EXPECT_EQ(documentField(), "");
        EXPECT_EQ(window->Settings().Dokumentyp(), -1);
        EXPECT_EQ(window->Settings().Rekurisv(), -1);
        EXPECT_EQ(window->Settings().ReferenzTyp(), -1);
        EXPECT_FALSE(enabled("btn_Weiter"));
        EXPECT_FALSE(enabled("chk_FolderRekursiv"));
    }
};

TEST_F(SelectionPage, TheFileDialogAsksForOneExistingSolidEdgeDocument) {
    toSelectionPage();
    click("btn_File");
    ASSERT_EQ(fileDialog.requests.size(), 1U);
    const OpenFileRequest& request = fileDialog.requests.front();
    EXPECT_EQ(request.title, "SolidEdge Dokument wählen");
    EXPECT_EQ(request.flags, 2103302);
    EXPECT_TRUE(request.cancelError);
    EXPECT_EQ(request.filter, "SolidEdge Dokumente|*.par;*.psm;*.asm;*.dft;*.pwd|Alle Dateien|*");
}

TEST_F(SelectionPage, CancellingTheFileDialogChangesNothing) {
    toSelectionPage();
    click("btn_File");
    EXPECT_EQ(messages.messages, Strings{});
    expectNothingChosen();

    chooseDocument(temp.file("Bär Teil.par"));
    fileDialog.chosen.clear();
    click("btn_File");
    EXPECT_EQ(messages.messages, Strings{});
    EXPECT_EQ(documentField(), temp.at("Bär Teil.par"));
    EXPECT_TRUE(enabled("btn_Weiter"));
    EXPECT_TRUE(exitCodes.empty());
}

TEST_F(SelectionPage, CancellingTheFolderChooserChangesNothing) {
    toSelectionPage();
    click("btn_Folder");
    ASSERT_EQ(folderChooser.requests.size(), 1U);
    EXPECT_EQ(folderChooser.requests.front().title, "Bitte Verzeichnis wählen");
    ASSERT_TRUE(folderChooser.requests.front().root.has_value());
    EXPECT_EQ(folderChooser.requests.front().root->url, "file:///");
    EXPECT_EQ(messages.messages, Strings{});
    expectNothingChosen();
}

TEST_F(SelectionPage, APlaceThatIsNoFolderChangesNothing) {
    toSelectionPage();
    const std::string file = temp.file("Notiz.txt");
    for (const std::optional<FolderItem>& place :
         {std::optional(FolderItem{"computer:///"}), std::optional(FolderItem{"file://" + file}),
          std::optional(FolderItem{"file://" + temp.at("gelöscht")})}) {
        folderChooser.chosen = place;
        click("btn_Folder");
        EXPECT_EQ(messages.messages, Strings{}) << place->url;
        expectNothingChosen();
    }
}

TEST_F(SelectionPage, ATextFileIsRefused) {
    toSelectionPage();
    chooseDocument(temp.file("Notiz.txt", "Solid Edge"));
    EXPECT_EQ(messages.messages, Strings{kRefused});
    expectNothingChosen();
}

TEST_F(SelectionPage, AParWhoseExtensionIsNotRegisteredIsRefused) {
    FakeFileTypes noSolidEdge;
    noSolidEdge.add("txt", "Textdokument");
    PosixFileSystem unregistered(noSolidEdge);
    frmMain bare(MainWindowServices{messages, pointer, screen, automation, unregistered, shell,
                                    fileDialog, folderChooser, temp.path(), [](int) {
                                    }});
    fileDialog.chosen = temp.file("Welle.par");
    QTest::mouseClick(bare.findChild<QPushButton*>(QStringLiteral("btn_File")), Qt::LeftButton);
    EXPECT_EQ(messages.messages, Strings{kRefused});
    EXPECT_EQ(bare.Settings().Dokumentyp(), -1);
}

struct TypeCase {
    const char* name;
    const char* description;
    bool accepted;
};

class DocumentTypes : public SelectionPage, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(DocumentTypes, AcceptsWhatTheDescriptionNamesSolidEdgeInAnyCase) {
    const TypeCase& row = GetParam();
    types.add("xyz", row.description);
    toSelectionPage();
    const std::string path = temp.file("Ordner mit ß/.versteckt Größe.xyz");
    chooseDocument(path);
    if (row.accepted) {
        EXPECT_EQ(messages.messages, Strings{});
        EXPECT_EQ(documentField(), path);
        EXPECT_EQ(window->Settings().Dokumentyp(), 0);
        EXPECT_EQ(window->Settings().Rekurisv(), 1);
        EXPECT_EQ(window->Settings().ReferenzTyp(), -1) << "a document leaves it as it was";
        EXPECT_TRUE(enabled("btn_Weiter"));
        EXPECT_FALSE(enabled("chk_FolderRekursiv"));
    } else {
        EXPECT_EQ(messages.messages, Strings{kRefused});
        expectNothingChosen();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Descriptions, DocumentTypes,
    ::testing::Values(TypeCase{"AsRegistered", "Solid Edge Part Document", true},
                      TypeCase{"AllCapitals", "SOLID EDGE DRAFT DOCUMENT", true},
                      TypeCase{"AllSmall", "solid edge weldment", true},
                      TypeCase{"Mixed", "Dokument von sOLID eDGE", true},
                      TypeCase{"ExactlyTheName", "Solid Edge", true},
                      TypeCase{"WithoutBlank", "SolidEdge Part Document", false},
                      TypeCase{"TwoBlanks", "Solid  Edge Part", false},
                      TypeCase{"CutShort", "Solid Edg", false},
                      TypeCase{"Text", "Textdokument", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SelectionPage, ADocumentAfterAFolder) {
    toSelectionPage();
    const std::string folder = temp.folder("Zeichnungen Ä");
    chooseFolder(folder);
    EXPECT_EQ(documentField(), folder);
    EXPECT_EQ(window->Settings().Dokumentyp(), 1);
    EXPECT_EQ(window->Settings().ReferenzTyp(), 0);
    EXPECT_TRUE(enabled("chk_FolderRekursiv"));

    const std::string document = temp.file("Zeichnungen Ä/Halter.psm");
    chooseDocument(document);
    EXPECT_EQ(messages.messages, Strings{});
    EXPECT_EQ(documentField(), document);
    EXPECT_EQ(window->Settings().Dokumentyp(), 0);
    EXPECT_FALSE(enabled("chk_FolderRekursiv"));
    EXPECT_TRUE(checked()) << "disabled, but still checked";
    EXPECT_EQ(window->Settings().ReferenzTyp(), 0) << "unchanged by the document";
    EXPECT_TRUE(enabled("btn_Weiter"));
}

TEST_F(SelectionPage, AFolderAfterADocument) {
    toSelectionPage();
    chooseDocument(temp.file("Baugruppe.asm"));
    ASSERT_EQ(window->Settings().Dokumentyp(), 0);
    ASSERT_EQ(window->Settings().ReferenzTyp(), -1);

    const std::string folder = temp.folder(".Archiv 2024");
    chooseFolder(folder);
    EXPECT_EQ(messages.messages, Strings{});
    EXPECT_EQ(documentField(), folder);
    EXPECT_EQ(window->Settings().Dokumentyp(), 1);
    EXPECT_EQ(window->Settings().Rekurisv(), 1);
    EXPECT_TRUE(enabled("chk_FolderRekursiv"));
    EXPECT_EQ(comboText(), "0 - Referenzen ausserhalb des gwählten Verzeichnis anzeigen");
    EXPECT_EQ(window->Settings().ReferenzTyp(), 0) << "from the combo box's design text";
}

TEST_F(SelectionPage, TheCheckBoxStoresEachClick) {
    toSelectionPage();
    chooseFolder(temp.folder("Teile"));
    auto& box = child<QCheckBox>("chk_FolderRekursiv");
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(4, box.height() / 2));
    EXPECT_FALSE(box.isChecked());
    EXPECT_EQ(window->Settings().Rekurisv(), 0);
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Space);
    EXPECT_TRUE(box.isChecked());
    EXPECT_EQ(window->Settings().Rekurisv(), 1);

    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(4, box.height() / 2));
    chooseFolder(temp.folder("Teile/Unter"));
    EXPECT_EQ(window->Settings().Rekurisv(), 0) << "each choice takes over the box's value";
}

TEST_F(SelectionPage, PickingAnEntryStoresItsNumberAtOnce) {
    toSelectionPage();
    pickEntry(1);
    EXPECT_EQ(comboText(), "1 - Alle Referenzen anzeigen");
    EXPECT_EQ(window->Settings().ReferenzTyp(), 1) << "whatever is chosen";
    EXPECT_EQ(window->Settings().Dokumentyp(), -1);

    chooseDocument(temp.file("a.par"));
    EXPECT_EQ(window->Settings().ReferenzTyp(), 1);
    pickEntry(0);
    EXPECT_EQ(comboText(), "0 - Referenzen ausserhalb des gewählten Verzeichnis anzeigen");
    EXPECT_EQ(window->Settings().ReferenzTyp(), 0);
    pickEntry(1);
    chooseFolder(temp.folder("b"));
    EXPECT_EQ(window->Settings().ReferenzTyp(), 1) << "a folder takes the picked entry";
    EXPECT_EQ(messages.messages, Strings{});
}

TEST_F(SelectionPage, AnErrorInTheFolderBrowserReachesTheHandlersMessage) {
    toSelectionPage();
    folderChooser.failingMember = "GetPathFromIDList";
    folderChooser.failure = Error(err::PermissionDenied);
    folderChooser.choose(temp.folder("gesperrt"));
    click("btn_Folder");
    EXPECT_EQ(messages.messages, Strings{"btn_Folder_Click() Zugriff verweigert 70"});
    expectNothingChosen();
    EXPECT_EQ(window->errorhandler().lastSource(), "Tavrosk.modBrowseFolder.BrowseFolder(40)");
    EXPECT_EQ(window->errorhandler().lastDescription(), "Zugriff verweigert");
    EXPECT_EQ(window->errorhandler().lastNumber(), 70);
    EXPECT_TRUE(exitCodes.empty());
}

TEST_F(SelectionPage, AnyOtherErrorWhileChoosingADocumentIsShownWithTwoBlanks) {
    toSelectionPage();
    chooseDocument(temp.at("verschwunden.par"));
    EXPECT_EQ(messages.messages, Strings{"btn_File_Click() Datei nicht gefunden  53"});
    expectNothingChosen();
    EXPECT_EQ(window->errorhandler().lastSource(), "") << "the handlers stamp nothing";
    EXPECT_TRUE(exitCodes.empty());
}

} // namespace
} // namespace ostrevan::test
