#include "scan/modGlobal.h"

#include "scan/ScanContext.h"
#include "scan/clsSettings.h"
#include "tests/scan/FakeFolderTree.h"
#include "tests/support/Fakes.h"

#include <gtest/gtest.h>

#include <limits>

namespace ostrevan {
namespace {

using namespace fakes;
using Strings = std::vector<std::string>;

class RekursivFolderTest : public ::testing::Test {
protected:
    // The example folder: a.par, b.dft, notes.txt and Sub with c.asm.
    void buildExample() {
        tree.addRoot("/Daten");
        tree.addFile("/Daten", "a.par");
        tree.addFile("/Daten", "b.dft");
        tree.addFile("/Daten", "notes.txt");
        tree.addFolder("/Daten", "Sub");
        tree.addFile("/Daten/Sub", "c.asm");
    }

    void scan(std::string path, std::int32_t rekursiv) {
        settings.setRekurisv(rekursiv);
        RekursivFolder(context, path, files, count);
    }

    // The file list as the driver would read it: entries 1..count.
    Strings found() const {
        EXPECT_EQ(files.size(), count == 0 ? files.size() : static_cast<std::size_t>(count) + 1);
        return files.empty() ? Strings{} : Strings(files.begin() + 1, files.end());
    }

    FakeForm fake;
    clsSettings settings{fake.form};
    FakeMessageBox messages;
    FakeMousePointer pointer;
    Automation automation;
    test::FakeFolderTree tree;
    ScanContext context{fake.form, settings, messages, pointer, automation, tree};
    DocumentFileList files;
    std::int32_t count = 0;
};

TEST_F(RekursivFolderTest, WithoutRecursionOnlyTheChosenFolder) {
    buildExample();
    scan("/Daten", 0);
    EXPECT_EQ(found(), (Strings{"/Daten/a.par", "/Daten/b.dft"}));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(files.at(0), "") << "entry 0 is never written";
    EXPECT_EQ(tree.listed, Strings{"/Daten"});
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(RekursivFolderTest, OnlyTheValueOneMeansRecursion) {
    for (const std::int32_t rekursiv : {-1, 0, 2}) {
        files.clear();
        count = 0;
        tree = test::FakeFolderTree();
        buildExample();
        scan("/Daten", rekursiv);
        EXPECT_EQ(count, 2) << rekursiv;
    }
}

TEST_F(RekursivFolderTest, WithRecursionTheFolderComesBeforeItsSubFolders) {
    buildExample();
    tree.addFolder("/Daten", "Zweig");
    tree.addFile("/Daten/Zweig", "d.psm");
    tree.addFolder("/Daten/Sub", "Tief");
    tree.addFile("/Daten/Sub/Tief", "e.pwd");
    scan("/Daten", 1);
    EXPECT_EQ(found(), (Strings{"/Daten/a.par", "/Daten/b.dft", "/Daten/Sub/c.asm",
                                "/Daten/Sub/Tief/e.pwd", "/Daten/Zweig/d.psm"}));
    EXPECT_EQ(count, 5);
}

TEST_F(RekursivFolderTest, KeepsTheFileSystemsOrder) {
    tree.addRoot("/Daten");
    tree.addFile("/Daten", "z.par");
    tree.addFile("/Daten", "A.par");
    tree.addFile("/Daten", "m.par");
    scan("/Daten", 1);
    EXPECT_EQ(found(), (Strings{"/Daten/z.par", "/Daten/A.par", "/Daten/m.par"}));
}

TEST_F(RekursivFolderTest, CollectsByTypeDescriptionAndNeverConfigurationFiles) {
    tree.registerType("xyz", "Ein sOLID eDGE Dokument");
    tree.registerType("sec", "Solid Edgeless");
    tree.registerType("se", "SolidEdge Part");
    tree.registerType("zfs", "Zeichnung für solid Edge");
    tree.registerType("sol", "Sölid Edge Part");
    tree.addRoot("/Daten");
    for (const char* name : {"s.cfg", "t.CFG", "u.Cfg", "v.xyz", "w.sec", "x.se", "y", "z.Par",
                             "archiv.par.bak", ".par", "q.zfs", "r.sol"}) {
        tree.addFile("/Daten", name);
    }
    scan("/Daten", 0);
    // "Solid Edgeless" contains "SOLID EDGE"; "SolidEdge" does not; ".par" has the
    // extension par; "Sölid" is another word.
    EXPECT_EQ(found(), (Strings{"/Daten/v.xyz", "/Daten/w.sec", "/Daten/z.Par", "/Daten/.par",
                                "/Daten/q.zfs"}));
}

TEST_F(RekursivFolderTest, AnUnregisteredExtensionIsNotCollected) {
    tree = test::FakeFolderTree();
    tree.registerType("par", "");
    tree.addRoot("/Daten");
    tree.addFile("/Daten", "a.par");
    tree.addFile("/Daten", "b.asm");
    scan("/Daten", 0);
    EXPECT_EQ(found(), (Strings{"/Daten/b.asm"}));
}

TEST_F(RekursivFolderTest, SkipsExactlyTheSystemAttributeSet) {
    tree.addRoot("/Daten");
    tree.addFolder("/Daten", "System", 22);
    tree.addFile("/Daten/System", "a.par");
    tree.addFolder("/Daten/System", "Darunter");
    tree.addFile("/Daten/System/Darunter", "b.par");
    tree.addFolder("/Daten", "Archiv", 54);
    tree.addFile("/Daten/Archiv", "c.par");
    tree.addFolder("/Daten", "Versteckt", 18);
    tree.addFile("/Daten/Versteckt", "d.par");
    tree.addFolder("/Daten", "Nurlesen", 23);
    tree.addFile("/Daten/Nurlesen", "e.par");
    scan("/Daten", 1);
    EXPECT_EQ(found(),
              (Strings{"/Daten/Archiv/c.par", "/Daten/Versteckt/d.par", "/Daten/Nurlesen/e.par"}));
    EXPECT_EQ(tree.listed,
              (Strings{"/Daten", "/Daten/Archiv", "/Daten/Versteckt", "/Daten/Nurlesen"}));
}

TEST_F(RekursivFolderTest, TheChosenFolderItselfIsSubjectToTheSkip) {
    tree.addRoot("/Daten", 22);
    tree.addFile("/Daten", "a.par");
    scan("/Daten", 1);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(fake.lbl_references.captions, (Strings{"Gefunden wurden 0 Dateien...", ""}));
}

TEST_F(RekursivFolderTest, StatusLabelShowsEachFilesFolderThenTheCountAndIsCleared) {
    buildExample();
    fake.lbl_CheckRef.setCaption("alt");
    scan("/Daten", 1);
    const Strings perFile{"/Daten", "/Daten", "/Daten", "/Daten/Sub"};
    Strings captions = perFile;
    captions.insert(captions.end(), {"Gefunden wurden 3 Dateien...", ""});
    EXPECT_EQ(fake.lbl_references.captions, captions);
    EXPECT_EQ(fake.lbl_references.refreshed, perFile) << "a repaint for every file";
    EXPECT_EQ(fake.lbl_CheckRef.captions, (Strings{"alt", ""}));
    EXPECT_TRUE(fake.lbl_CheckRef.refreshed.empty());
}

TEST_F(RekursivFolderTest, AnEmptyFolderFindsNothing) {
    tree.addRoot("/Leer");
    scan("/Leer", 1);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(files.empty());
    EXPECT_EQ(fake.lbl_references.captions, (Strings{"Gefunden wurden 0 Dateien...", ""}));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(RekursivFolderTest, TheSeparatorIsDoubledAfterARoot) {
    tree.addRoot("/");
    tree.addFile("/", "a.par");
    tree.addRoot("C:\\");
    tree.addFile("C:\\", "b.par");
    tree.addFolder("C:\\", "Daten");
    tree.addFile("C:\\Daten", "c.par");
    scan("/", 0);
    scan("C:\\", 1);
    EXPECT_EQ(found(), (Strings{"//a.par", "C:\\\\b.par", "C:\\Daten\\c.par"}));
}

TEST_F(RekursivFolderTest, AnErrorAbandonsOnlyTheFolderWhereItArose) {
    tree.addRoot("/Daten");
    tree.addFile("/Daten", "a.par");
    tree.addFolder("/Daten", "Gesperrt");
    tree.addFile("/Daten/Gesperrt", "b.par");
    tree.addFolder("/Daten/Gesperrt", "Darunter");
    tree.addFile("/Daten/Gesperrt/Darunter", "c.par");
    tree.failFiles("/Daten/Gesperrt", 70);
    tree.addFolder("/Daten", "Halb");
    tree.addFile("/Daten/Halb", "d.par");
    tree.addFolder("/Daten/Halb", "Verloren");
    tree.addFile("/Daten/Halb/Verloren", "e.par");
    tree.failSubFolders("/Daten/Halb", 76);
    tree.addFolder("/Daten", "Offen");
    tree.addFile("/Daten/Offen", "f.par");
    scan("/Daten", 1);
    EXPECT_EQ(messages.messages, (Strings{"GetAllFiles() Zugriff verweigert 70",
                                          "GetAllFiles() Pfad nicht gefunden 76"}));
    EXPECT_EQ(found(), (Strings{"/Daten/a.par", "/Daten/Halb/d.par", "/Daten/Offen/f.par"}));
    ASSERT_EQ(context.failures.folders.size(), 2u);
    EXPECT_EQ(context.failures.folders[0].path, "/Daten/Gesperrt");
    EXPECT_EQ(context.failures.folders[0].number, 70);
    EXPECT_EQ(context.failures.folders[1].path, "/Daten/Halb");
    EXPECT_EQ(fake.lbl_references.caption(), "") << "RekursivFolder itself ends normally";
    EXPECT_EQ(fake.lbl_references.captions.at(fake.lbl_references.captions.size() - 2),
              "Gefunden wurden 3 Dateien...");
}

TEST_F(RekursivFolderTest, TheSameErrorInManyFoldersIsToldOnce) {
    tree.addRoot("/Daten");
    tree.addFile("/Daten", "a.par");
    for (const char* name : {"A", "B", "C"}) {
        tree.addFolder("/Daten", name);
        tree.failFiles("/Daten/" + std::string(name), 70);
    }
    tree.addFolder("/Daten", "D");
    tree.failFiles("/Daten/D", 76);
    scan("/Daten", 1);
    EXPECT_EQ(messages.messages, (Strings{"GetAllFiles() Zugriff verweigert 70",
                                          "GetAllFiles() Pfad nicht gefunden 76"}));
    EXPECT_EQ(context.failures.folders.size(), 4u);
    EXPECT_EQ(found(), Strings{"/Daten/a.par"});
}

TEST_F(RekursivFolderTest, AMissingPathIsReportedOnceAndWritesNoCount) {
    tree.addRoot("/Daten");
    fake.lbl_references.setCaption("vorher");
    scan("/Daten/fehlt", 1);
    EXPECT_EQ(messages.messages, Strings{"RekursivFolder() Pfad nicht gefunden 76"});
    ASSERT_EQ(context.failures.folders.size(), 1u);
    EXPECT_EQ(context.failures.folders[0].path, "/Daten/fehlt");
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(files.empty());
    EXPECT_EQ(fake.lbl_references.captions, Strings{"vorher"});
}

TEST_F(RekursivFolderTest, ACountBeyondInt32OverflowsInGetAllFiles) {
    tree.addRoot("/Daten");
    tree.addFile("/Daten", "a.par");
    tree.addFile("/Daten", "b.par");
    count = std::numeric_limits<std::int32_t>::max();
    scan("/Daten", 1);
    EXPECT_EQ(messages.messages, Strings{"GetAllFiles() Überlauf 6"});
    EXPECT_EQ(count, std::numeric_limits<std::int32_t>::max());
    EXPECT_TRUE(files.empty()) << "the list is not grown for a count that failed";
    EXPECT_EQ(fake.lbl_references.captions.at(1), "Gefunden wurden 2147483647 Dateien...");
}

TEST_F(RekursivFolderTest, ALinkBackToAFolderOnTheBranchIsNotEnteredAgain) {
    tree.addRoot("/Daten");
    tree.addFile("/Daten", "a.par");
    tree.addFolder("/Daten", "Sub");
    tree.addFile("/Daten/Sub", "b.par");
    tree.addLink("/Daten/Sub", "zurück", "/Daten");
    tree.addLink("/Daten/Sub", "selbst", "/Daten/Sub");
    scan("/Daten", 1);
    EXPECT_EQ(found(), (Strings{"/Daten/a.par", "/Daten/Sub/b.par"}));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(RekursivFolderTest, AFolderReachedByTwoPathsIsSearchedOnceUnderTheFirst) {
    tree.addRoot("/Daten");
    tree.addFolder("/Daten", "Bibliothek");
    tree.addFile("/Daten/Bibliothek", "n.par");
    tree.addFolder("/Daten", "Projekt");
    tree.addLink("/Daten/Projekt", "Normteile", "/Daten/Bibliothek");
    tree.addFolder("/Daten", "Projekt2");
    tree.addLink("/Daten/Projekt2", "Teile", "/Daten/Projekt");
    scan("/Daten", 1);
    EXPECT_EQ(found(), (Strings{"/Daten/Bibliothek/n.par"}));
    EXPECT_EQ(tree.listed,
              (Strings{"/Daten", "/Daten/Bibliothek", "/Daten/Projekt", "/Daten/Projekt2"}));
}

TEST_F(RekursivFolderTest, ALatticeOfLinksIsSearchedOncePerFolder) {
    // d0 .. d16; d_i/a and d_i/b both link to d_{i+1}: 2^16 paths reach the last folder.
    constexpr int kLevels = 16;
    tree.addRoot("/Gitter");
    for (int i = 0; i <= kLevels; ++i) {
        tree.addFolder("/Gitter", "d" + std::to_string(i));
    }
    tree.addFile("/Gitter/d" + std::to_string(kLevels), "tief.par");
    for (int i = 0; i < kLevels; ++i) {
        const std::string from = "/Gitter/d" + std::to_string(i);
        const std::string to = "/Gitter/d" + std::to_string(i + 1);
        tree.addLink(from, "a", to);
        tree.addLink(from, "b", to);
    }
    scan("/Gitter/d0", 1);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(tree.listed.size(), static_cast<std::size_t>(kLevels + 1));
}

TEST_F(RekursivFolderTest, TheChosenFolderReachedThroughALinkIsNotEnteredTwice) {
    tree.addRoot("/Ziel");
    tree.addFile("/Ziel", "a.par");
    tree.addLink("/Ziel", "schleife", "/Ziel");
    tree.addRoot("/Weg");
    tree.addLink("/Weg", "zum Ziel", "/Ziel");
    scan("/Weg/zum Ziel", 1);
    EXPECT_EQ(found(), (Strings{"/Weg/zum Ziel/a.par"}));
}

} // namespace
} // namespace ostrevan
