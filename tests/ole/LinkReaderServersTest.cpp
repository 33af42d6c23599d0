#include "platform/ole/LinkReaderServers.h"

#include "platform/Controls.h"
#include "platform/Error.h"
#include "platform/ReferenceComponent.h"
#include "platform/RevisionManager.h"
#include "tests/support/CompoundFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

class SilentLabel final : public Label {
public:
    std::string caption() const override { return m_caption; }
    void setCaption(const std::string& caption) override { m_caption = caption; }
    void refresh() override {}

private:
    std::string m_caption;
};

class LinkReaderServers : public ::testing::Test {
protected:
    LinkReaderServers() {
        registerLinkReaderServers(m_automation, m_config.path(),
                                  [this](const std::string& line) { m_reports.push_back(line); });
    }

    std::vector<std::string> fullNamesOf(const RevisionManagerDocuments& documents) const {
        std::vector<std::string> names;
        for (const auto& document : documents) {
            names.push_back(document->FullName());
        }
        return names;
    }

    std::vector<std::string> references(const std::string& path) const {
        auto component = m_automation.create<ReferenceComponent>(kReferenceComponentProgId);
        std::string documentPath = path;
        std::vector<std::string> found;
        SilentLabel status;
        std::int32_t flags = 0;
        std::int32_t options = 0;
        std::string timeStamp = "06.12.2026 21:00:00";
        std::unique_ptr<AutomationObject> context;
        std::int32_t result = 0;
        component->GetReferences(documentPath, found, status, flags, options, timeStamp, context,
                                 result);
        return found;
    }

    test::TempFolder m_config;
    test::TempFolder m_documents;
    Automation m_automation;
    std::vector<std::string> m_reports;
};

TEST_F(LinkReaderServers, LinkedDocumentsAreTheResolvedLinksEachOnce) {
    const std::string here = m_documents.file("Anlage/Welle.par", "x");
    const std::string assembly = m_documents.at("Anlage/Baugruppe.asm");
    fixture::writeCompoundDocument(assembly, {{"C:\\Data\\Welle.par", "..\\Welle.par"},
                                              {"C:\\Data\\Norm\\Mutter.par"},
                                              {"c:\\DATA\\norm\\mutter.PAR"},
                                              {"D:\\Lager\\Welle.par"}});
    auto application = m_automation.create<RevisionManagerApplication>(kRevisionManagerProgId);
    auto document = application->Open(assembly);
    EXPECT_EQ(document->FullName(), assembly);
    const auto linked = document->LinkedDocuments(0);
    ASSERT_NE(linked, nullptr);
    // Welle.par twice: both resolve to the file next to the assembly.
    EXPECT_EQ(fullNamesOf(*linked), (std::vector<std::string>{here, "C:\\Data\\Norm\\Mutter.par"}));
    EXPECT_EQ(references(assembly), fullNamesOf(*linked));
    EXPECT_EQ(trapError([&] { document->LinkedDocuments(1); })->number(), err::InvalidCall);
}

TEST_F(LinkReaderServers, LinksBeyondAsciiAreTheSameWhenTheirUpperCaseIs) {
    const std::string assembly = m_documents.at("Baugruppe.asm");
    fixture::writeCompoundDocument(assembly, {{"C:\\Daten\\Größe.par"},
                                              {"C:\\Daten\\Straße.par"},
                                              {"c:\\DATEN\\grÖßE.PAR"},
                                              {"C:\\DATEN\\STRASSE.PAR"},
                                              {"C:\\Daten\\Größe.par"}});
    auto application = m_automation.create<RevisionManagerApplication>(kRevisionManagerProgId);
    const auto linked = application->Open(assembly)->LinkedDocuments(0);
    ASSERT_NE(linked, nullptr);
    // ß has no upper case of its own: STRASSE is another name.
    EXPECT_EQ(fullNamesOf(*linked),
              (std::vector<std::string>{"C:\\Daten\\Größe.par", "C:\\Daten\\Straße.par",
                                        "C:\\DATEN\\STRASSE.PAR"}));
}

TEST_F(LinkReaderServers, ManyLinksAreEachOnceInTheOrderFoundAsAFewAre) {
    // A few links are compared pair by pair, many through a set: both keep the first of each.
    for (const int parts : {3, 8, 30}) {
        std::vector<fixture::FixtureLink> links;
        std::vector<std::string> expected;
        for (int i = 0; i < parts; ++i) {
            expected.push_back("C:\\Teile\\Größe " + std::to_string(i) + ".par");
            links.push_back({expected.back()});
            links.push_back({"c:\\TEILE\\grÖßE " + std::to_string(i / 2) + ".PAR"});
        }
        const std::string assembly = m_documents.at("Baugruppe " + std::to_string(parts) + ".asm");
        fixture::writeCompoundDocument(assembly, links);
        auto application = m_automation.create<RevisionManagerApplication>(kRevisionManagerProgId);
        const auto linked = application->Open(assembly)->LinkedDocuments(0);
        ASSERT_NE(linked, nullptr);
        EXPECT_EQ(fullNamesOf(*linked), expected) << parts;
    }
}

TEST_F(LinkReaderServers, AFamilyOfAssembliesGivesEachLinkedFileOnceInTheOrderFound) {
    const std::string here = m_documents.file("Familie/Platte.psm", "x");
    const std::string family = m_documents.at("Familie/Familie.asm");
    const fixture::FixtureLink welle{"C:\\Familie\\Welle.par", "..\\Welle.par"};
    const fixture::FixtureLink platte{"C:\\Familie\\Platte.psm", "..\\\\Platte.psm"};
    fixture::CompoundDocument document;
    document.addSolidEdgeLink("Master\x01/JSite38", welle)
        .addSolidEdgeLink("Master\x01/JSite54", platte)
        .addSolidEdgeLink("FamilyMember1/JSite54", platte)
        .addSolidEdgeLink("FamilyMember2/JSite38", welle)
        .addSolidEdgeLink("FamilyMember2/JSite94", {"C:\\Familie\\Stift.par", "..\\Stift.par"});
    document.write(family);
    const std::vector<std::string> expected = {"C:\\Familie\\Welle.par", here,
                                               "C:\\Familie\\Stift.par"};
    auto application = m_automation.create<RevisionManagerApplication>(kRevisionManagerProgId);
    const auto linked = application->Open(family)->LinkedDocuments(0);
    ASSERT_NE(linked, nullptr);
    EXPECT_EQ(fullNamesOf(*linked), expected);
    EXPECT_EQ(references(family), expected);
}

TEST_F(LinkReaderServers, ADocumentWithoutLinkObjectsHasNoCollection) {
    const std::string part = m_documents.at("Teil.par");
    fixture::CompoundDocument document;
    document.addEmbeddedObject("JSite1").addStream("Daten", fixture::Bytes(100, 1));
    document.write(part);
    auto application = m_automation.create<RevisionManagerApplication>(kRevisionManagerProgId);
    EXPECT_EQ(application->Open(part)->LinkedDocuments(0), nullptr);
    EXPECT_TRUE(references(part).empty());
}

TEST_F(LinkReaderServers, LinkedDocumentsAreOpenedOnlyWhenAskedForTheirLinks) {
    const std::string inner = m_documents.at("Unter.asm");
    fixture::writeCompoundDocument(inner, {{"C:\\Data\\Stift.par"}});
    const std::string outer = m_documents.at("Haupt.asm");
    fixture::writeCompoundDocument(outer, {{"C:\\x\\Unter.asm"}, {"C:\\x\\Fehlt.asm"}});
    auto application = m_automation.create<RevisionManagerApplication>(kRevisionManagerProgId);
    const auto linked = application->Open(outer)->LinkedDocuments(0);
    ASSERT_NE(linked, nullptr);
    ASSERT_EQ(linked->size(), 2u);
    EXPECT_EQ(fullNamesOf(*(*linked)[0]->LinkedDocuments(0)),
              (std::vector<std::string>{"C:\\Data\\Stift.par"}));
    EXPECT_EQ(trapError([&] { (*linked)[1]->LinkedDocuments(0); })->number(), err::FileNotFound);
}

TEST_F(LinkReaderServers, OpenRaisesTheReadersErrors) {
    auto application = m_automation.create<RevisionManagerApplication>(kRevisionManagerProgId);
    EXPECT_EQ(trapError([&] { application->Open(m_documents.at("fehlt.par")); })->number(),
              err::FileNotFound);
    const std::string text = m_documents.file("text.par", "kein Dokument");
    EXPECT_EQ(trapError([&] { application->Open(text); })->number(), err::BadFileFormat);
    EXPECT_EQ(trapError([&] { references(text); })->number(), err::BadFileFormat);
}

TEST_F(LinkReaderServers, RulesAreReadForEachNewObject) {
    const std::string assembly = m_documents.folder("Anlage") + "/Baugruppe.asm";
    const std::string mounted = m_documents.file("projekte/Welle.par", "x");
    fixture::writeCompoundDocument(assembly, {{"P:\\Projekte\\Welle.par"}});
    EXPECT_EQ(references(assembly), (std::vector<std::string>{"P:\\Projekte\\Welle.par"}));
    m_config.file("LinkMgmt.txt", "ABSOLUTE\nKAPUTT\nBEGIN MAP\np:\\projekte," +
                                      m_documents.at("projekte") + "\nEND MAP\n");
    EXPECT_EQ(references(assembly), (std::vector<std::string>{mounted}));
    EXPECT_EQ(m_reports, (std::vector<std::string>{"LinkMgmt.txt:2: unknown line: KAPUTT"}));
}

} // namespace
} // namespace ostrevan
