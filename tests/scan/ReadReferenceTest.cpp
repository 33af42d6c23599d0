#include "scan/modGlobal.h"

#include "scan/ScanContext.h"
#include "scan/clsSettings.h"
#include "tests/scan/FakeFolderTree.h"
#include "tests/scan/FakeRevisionManager.h"
#include "tests/support/Fakes.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

using namespace fakes;
using Strings = std::vector<std::string>;
using Links = std::optional<Strings>;

class ReadReferenceTest : public ::testing::Test {
protected:
    void serveRevisionManager() {
        automation.registerServer("RevisionManager.Application", [this] {
            ++world.created;
            return std::make_unique<test::FakeRevisionManager>(world);
        });
    }

    void addDocument(const std::string& path, Links links) {
        world.documents[path] = std::move(links);
        files.resize(files.empty() ? 2 : files.size() + 1);
        files.back() = path;
        count = static_cast<std::int32_t>(files.size()) - 1;
    }

    void read(std::string path, std::int32_t referenzTyp) {
        settings.setReferenzTyp(referenzTyp);
        ReadReference(context, path, files, count);
    }

    FakeForm fake;
    clsSettings settings{fake.form};
    FakeMessageBox messages;
    FakeMousePointer pointer;
    Automation automation;
    test::FakeFolderTree tree;
    ScanContext context{fake.form, settings, messages, pointer, automation, tree};
    test::RevisionManagerWorld world;
    DocumentFileList files;
    std::int32_t count = 0;
};

TEST_F(ReadReferenceTest, ACountOfZeroStillCreatesRevisionManager) {
    serveRevisionManager();
    read("/Daten", 0);
    EXPECT_EQ(world.created, 1);
    EXPECT_TRUE(world.opened.empty());
    EXPECT_EQ(fake.lbl_references.captions, Strings{""});
    EXPECT_EQ(fake.lbl_CheckRef.captions, Strings{""});
    EXPECT_TRUE(fake.ListView1.rows.empty());
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ReadReferenceTest, MissingRevisionManagerIsReportedEvenForAnEmptyFolder) {
    read("/Daten", 0);
    EXPECT_EQ(
        messages.messages,
        Strings{"ReadReference() Objekterstellung durch ActiveX-Komponente nicht möglich 429"});
    EXPECT_TRUE(fake.lbl_references.captions.empty());
}

TEST_F(ReadReferenceTest, ThroughTheDriverTheMissingServerIsFollowedByNothingFound) {
    tree.addRoot("/Daten");
    tree.addFile("/Daten", "a.par");
    fake.txt_SEDokument.value = "/Daten";
    settings.setDokumentyp(1);
    ModGlobalProcedures procedures(context);
    btn_ReferenzView_Click(context, procedures);
    EXPECT_EQ(
        messages.messages,
        (Strings{"ReadReference() Objekterstellung durch ActiveX-Komponente nicht möglich 429",
                 "Es konnten keine Referenzen gefunden werden."}));
    EXPECT_FALSE(fake.btn_export.isEnabled);
}

TEST_F(ReadReferenceTest, ADocumentWithoutCollectionOnlyShowsItsLine) {
    serveRevisionManager();
    addDocument("/Daten/a.par", std::nullopt);
    read("/Daten", 1);
    EXPECT_EQ(fake.lbl_references.captions, (Strings{"Untersuche: 0000001-0000001", ""}));
    EXPECT_EQ(fake.lbl_CheckRef.captions, Strings{""});
    EXPECT_TRUE(fake.ListView1.rows.empty());
    EXPECT_EQ(world.kinds, std::vector<std::int32_t>{0});
}

TEST_F(ReadReferenceTest, PositionsAreWrittenWithSevenDigits) {
    serveRevisionManager();
    for (int i = 1; i <= 120; ++i) {
        addDocument("/Daten/d" + std::to_string(i) + ".par", Strings{});
    }
    read("/Daten", 1);
    ASSERT_EQ(fake.lbl_references.captions.size(), 121u);
    EXPECT_EQ(fake.lbl_references.captions[2], "Untersuche: 0000003-0000120");
    EXPECT_EQ(fake.lbl_references.captions[119], "Untersuche: 0000120-0000120");
}

struct FilterCase {
    const char* name;
    std::string chosen;
    std::int32_t referenzTyp;
    Strings links;
    Strings kept;
};

class ReadReferenceFilter : public ReadReferenceTest,
                            public ::testing::WithParamInterface<FilterCase> {};

TEST_P(ReadReferenceFilter, KeepsWhatTheReferenceTypeAsksFor) {
    const FilterCase& row = GetParam();
    serveRevisionManager();
    addDocument(row.chosen + "doc.par", row.links);
    read(row.chosen, row.referenzTyp);
    Strings kept;
    for (const Row& result : fake.ListView1.rows) {
        kept.push_back(result.reference);
    }
    EXPECT_EQ(kept, row.kept);
    EXPECT_TRUE(messages.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadReferenceFilter,
    ::testing::Values(
        FilterCase{"OutsideOnly",
                   "C:\\Data",
                   0,
                   {"C:\\Data\\x.par", "C:\\Data\\Sub\\y.par", "D:\\Lib\\z.par"},
                   {"D:\\Lib\\z.par"}},
        FilterCase{"ChosenWithTrailingSeparator",
                   "C:\\Data\\",
                   0,
                   {"C:\\Data\\x.par", "C:\\Data\\Sub\\y.par", "D:\\Lib\\z.par"},
                   {"D:\\Lib\\z.par"}},
        FilterCase{"SiblingWhoseNameExtendsTheChosenOne",
                   "C:\\Data",
                   0,
                   {"C:\\DATA2\\x.par", "C:\\Daten\\y.par", "C:\\Data2\\Sub\\z.par"},
                   {"C:\\DATA2\\x.par", "C:\\Daten\\y.par", "C:\\Data2\\Sub\\z.par"}},
        FilterCase{"CaseIsIgnored",
                   "/daten/Projekt",
                   0,
                   {"/DATEN/PROJEKT/a.par", "/Daten/projekt/Sub/b.par", "/andere/c.par"},
                   {"/andere/c.par"}},
        FilterCase{"EmptyFullNameDroppedForTypeZero",
                   "/Daten",
                   0,
                   {"", "ohne-ordner.par"},
                   {"ohne-ordner.par"}},
        FilterCase{"EveryLinkForOtherTypes",
                   "/Daten",
                   1,
                   {"/Daten/a.par", "", "/x/b.par"},
                   {"/Daten/a.par", "", "/x/b.par"}},
        FilterCase{"UnsetTypeKeepsEverything", "/Daten", -1, {"/Daten/a.par"}, {"/Daten/a.par"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReadReferenceTest, RowsAreNumberedAcrossAllDocuments) {
    serveRevisionManager();
    addDocument("/Daten/a.asm", Strings{"/Lib/1.par", "/Lib/2.par"});
    addDocument("/Daten/b.asm", Strings{"/Daten/innen.par", "/Lib/3.par", "/Lib/4.par"});
    read("/Daten", 0);
    EXPECT_EQ(fake.ListView1.rows, (std::vector<Row>{{"1", "/Daten/a.asm", "/Lib/1.par"},
                                                     {"2", "/Daten/a.asm", "/Lib/2.par"},
                                                     {"3", "/Daten/b.asm", "/Lib/3.par"},
                                                     {"4", "/Daten/b.asm", "/Lib/4.par"}}));
    EXPECT_EQ(fake.lbl_CheckRef.captions,
              (Strings{"Bearbeite: 1.par", "Bearbeite: 2.par", "Bearbeite: innen.par",
                       "Bearbeite: 3.par", "Bearbeite: 4.par", ""}));
    EXPECT_EQ(fake.lbl_CheckRef.refreshed,
              (Strings{"Bearbeite: 1.par", "Bearbeite: 2.par", "Bearbeite: innen.par",
                       "Bearbeite: 3.par", "Bearbeite: 4.par"}));
    EXPECT_EQ(fake.lbl_references.caption(), "");
    EXPECT_TRUE(fake.lbl_references.refreshed.empty());
}

TEST_F(ReadReferenceTest, TheFileNameOfAWindowsLinkIsItsLastComponent) {
    serveRevisionManager();
    addDocument("/Daten/a.par", Strings{"C:\\Normteile\\Schraube M6.par"});
    read("/Daten", 1);
    EXPECT_EQ(fake.lbl_CheckRef.refreshed, Strings{"Bearbeite: Schraube M6.par"});
}

TEST_F(ReadReferenceTest, AnUnreadableDocumentIsSkippedAndReportedOnceAfterTheLoop) {
    serveRevisionManager();
    addDocument("/Daten/1.par", Strings{"/Lib/a.par"});
    addDocument("/Daten/2.par", Strings{"/Lib/b.par", "/Lib/c.par"});
    addDocument("/Daten/3.par", Strings{"/Lib/d.par"});
    addDocument("/Daten/4.par", Strings{"/Lib/e.par"});
    addDocument("/Daten/5.par", Strings{"/Lib/f.par"});
    world.openErrors["/Daten/3.par"] = 321;
    read("/Daten", 0);
    EXPECT_EQ(messages.messages, Strings{"ReadReference() Ungültiges Dateiformat 321\n\n"
                                         "1 Dokument konnte nicht gelesen werden:\n"
                                         "/Daten/3.par (321)"});
    EXPECT_EQ(world.opened, (Strings{"/Daten/1.par", "/Daten/2.par", "/Daten/3.par", "/Daten/4.par",
                                     "/Daten/5.par"}));
    EXPECT_EQ(fake.ListView1.rows, (std::vector<Row>{{"1", "/Daten/1.par", "/Lib/a.par"},
                                                     {"2", "/Daten/2.par", "/Lib/b.par"},
                                                     {"3", "/Daten/2.par", "/Lib/c.par"},
                                                     {"4", "/Daten/4.par", "/Lib/e.par"},
                                                     {"5", "/Daten/5.par", "/Lib/f.par"}}));
    EXPECT_EQ(fake.lbl_references.captions,
              (Strings{"Untersuche: 0000001-0000005", "Untersuche: 0000002-0000005",
                       "Untersuche: 0000004-0000005", "Untersuche: 0000005-0000005", ""}));
    EXPECT_EQ(fake.lbl_CheckRef.caption(), "");
    ASSERT_EQ(context.failures.documents.size(), 1u);
    EXPECT_EQ(context.failures.documents[0].path, "/Daten/3.par");
    EXPECT_EQ(context.failures.documents[0].number, 321);
    EXPECT_EQ(context.failures.documents[0].description, "Ungültiges Dateiformat");
}

TEST_F(ReadReferenceTest, TheMessageNamesTheFirstFailureAndListsTenDocuments) {
    serveRevisionManager();
    for (int i = 1; i <= 13; ++i) {
        addDocument("/Daten/d" + std::to_string(i) + ".par", Strings{"/Lib/x.par"});
    }
    world.openErrors["/Daten/d2.par"] = 70;
    for (int i = 4; i <= 13; ++i) {
        world.openErrors["/Daten/d" + std::to_string(i) + ".par"] = 321;
    }
    world.documents.erase("/Daten/d3.par");
    read("/Daten", 1);
    EXPECT_EQ(messages.messages,
              Strings{"ReadReference() Zugriff verweigert 70\n\n"
                      "12 Dokumente konnten nicht gelesen werden:\n"
                      "/Daten/d2.par (70)\n/Daten/d3.par (53)\n/Daten/d4.par (321)\n"
                      "/Daten/d5.par (321)\n/Daten/d6.par (321)\n/Daten/d7.par (321)\n"
                      "/Daten/d8.par (321)\n/Daten/d9.par (321)\n/Daten/d10.par (321)\n"
                      "/Daten/d11.par (321)\nund 2 weitere"});
    EXPECT_EQ(fake.ListView1.rows, (std::vector<Row>{{"1", "/Daten/d1.par", "/Lib/x.par"}}));
    EXPECT_EQ(context.failures.documents.size(), 12u);
}

TEST_F(ReadReferenceTest, ANewCallForgetsTheFailuresOfTheLastOne) {
    serveRevisionManager();
    addDocument("/Daten/1.par", Strings{"/Lib/a.par"});
    world.openErrors["/Daten/1.par"] = 321;
    read("/Daten", 0);
    ASSERT_EQ(context.failures.documents.size(), 1u);
    world.openErrors.clear();
    read("/Daten", 0);
    EXPECT_TRUE(context.failures.documents.empty());
    EXPECT_EQ(messages.messages.size(), 1u);
}

TEST_F(ReadReferenceTest, ARowTheListRefusesEndsTheCall) {
    serveRevisionManager();
    addDocument("/Daten/1.par", Strings{"/Lib/a.par", "/Lib/b.par", "/Lib/c.par"});
    fake.ListView1.failOnAdd = 2;
    read("/Daten", 0);
    EXPECT_EQ(messages.messages, Strings{"ReadReference() Nicht genügend Speicher 7"});
    EXPECT_EQ(fake.ListView1.rows.size(), 1u);
    EXPECT_EQ(fake.lbl_CheckRef.caption(), "Bearbeite: b.par");
}

TEST_F(ReadReferenceTest, ACountBeyondTheListIsASubscriptError) {
    serveRevisionManager();
    addDocument("/Daten/1.par", Strings{"/Lib/a.par"});
    count = 2;
    read("/Daten", 0);
    EXPECT_EQ(messages.messages,
              Strings{"ReadReference() Index außerhalb des gültigen Bereichs 9"});
    EXPECT_EQ(fake.ListView1.rows.size(), 1u);
}

} // namespace
} // namespace ostrevan
