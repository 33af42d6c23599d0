#include "tools/ostrevan-links/LinksCommand.h"

#include "tests/support/CompoundFixture.h"
#include "tests/support/TempFolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <sys/wait.h>

namespace ostrevan {
namespace {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

class LinksTool : public ::testing::Test {
protected:
    ToolRun run(const std::vector<std::string>& arguments) const {
        std::ostringstream out;
        std::ostringstream err;
        const int status = runLinksCommand(arguments, out, err, m_config.path());
        return {status, out.str(), err.str()};
    }

    // A copy of a recorded document: links to \\server\projekte\... on a share.
    std::string recorded(const std::string& name, const std::string& as) const {
        const std::string path = m_work.at(as);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::filesystem::copy_file(std::string(OSTREVAN_TEST_DATA) + "/compound/" + name, path);
        return path;
    }

    test::TempFolder m_config;
    test::TempFolder m_work;
};

TEST_F(LinksTool, PrintsEachLinkWithHowItResolved) {
    const std::string document = recorded("links_c.cfb", "Anlage/Maschine.asm");
    const std::string relative = m_work.file("Anlage/Teile/Rahmen.par", "x");
    const std::string mapped = m_work.file("projekte/Norm/Bolzen.par", "x");
    m_config.file("LinkMgmt.txt", "RELATIVE\nABSOLUTE\nBEGIN MAP\n\\\\server\\projekte\\Norm," +
                                      m_work.at("projekte/Norm") + "\nEND MAP\n");
    const ToolRun result = run({document});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out,
              document +
                  ": 3 links\n"
                  "  JSite1: " +
                  relative +
                  " (relative)\n"
                  "    saved absolute: \\\\server\\projekte\\Anlage\\Teile\\Rahmen.par\n"
                  "    saved relative: ..\\Teile\\Rahmen.par\n"
                  "  JSite2: " +
                  mapped +
                  " (mapped)\n"
                  "    saved absolute: \\\\server\\projekte\\Norm\\Bolzen.par\n"
                  "    saved relative: ..\\..\\Norm\\Bolzen.par\n"
                  "  JSite3: C:\\Lokal\\Test.par (missing)\n"
                  "    saved absolute: C:\\Lokal\\Test.par\n"
                  "    saved relative: (none)\n");
}

TEST_F(LinksTool, JsonKeepsTheOrderGivenAndNamesErrors) {
    const std::string document = recorded("mixed_c.cfb", "Werk/Blech \"1\".asm");
    const std::string container = m_work.file("Werk/Mutter M6.par", "x");
    const std::string missing = m_work.at("fehlt.par");
    const ToolRun result = run({"--json", missing, document});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(missing + ": Datei nicht gefunden (53)"), std::string::npos);

    QJsonParseError parseError;
    const QJsonArray documents =
        QJsonDocument::fromJson(QByteArray::fromStdString(result.out), &parseError).array();
    ASSERT_EQ(parseError.error, QJsonParseError::NoError) << result.out;
    ASSERT_EQ(documents.size(), 2);
    const QJsonObject first = documents[0].toObject();
    EXPECT_EQ(first[QStringLiteral("document")].toString().toStdString(), missing);
    EXPECT_EQ(first[QStringLiteral("error")].toObject()[QStringLiteral("number")].toInt(), 53);
    EXPECT_EQ(first[QStringLiteral("error")].toObject()[QStringLiteral("description")].toString(),
              QStringLiteral("Datei nicht gefunden"));
    EXPECT_TRUE(first[QStringLiteral("links")].toArray().isEmpty());

    const QJsonObject second = documents[1].toObject();
    EXPECT_TRUE(second[QStringLiteral("error")].isNull());
    const QJsonArray links = second[QStringLiteral("links")].toArray();
    ASSERT_EQ(links.size(), 2);
    const QJsonObject link = links[0].toObject();
    EXPECT_EQ(link[QStringLiteral("full_name")].toString().toStdString(), container);
    EXPECT_EQ(link[QStringLiteral("resolved_by")].toString(), QStringLiteral("container"));
    EXPECT_EQ(link[QStringLiteral("saved_absolute")].toString(),
              QStringLiteral("\\\\nas\\norm\\Mutter M6.par"));
    EXPECT_TRUE(link[QStringLiteral("saved_relative")].isNull());
    EXPECT_EQ(link[QStringLiteral("storage")].toString(), QStringLiteral("JSite1"));
    EXPECT_EQ(links[1].toObject()[QStringLiteral("saved_relative")].toString(),
              QStringLiteral("..\\Teile\\Blech.psm"));
    EXPECT_EQ(links[1].toObject()[QStringLiteral("resolved_by")].toString(),
              QStringLiteral("missing"));
}

TEST_F(LinksTool, AFileAndItemLinkShowsTheItemInBothPathsAndResolvesTheFile) {
    const std::string path = m_work.at("Bericht/Bericht.doc");
    const std::string workbook = m_work.file("Bericht/Mappe 1.xls", "x");
    fixture::CompoundDocument document;
    document.addLinkObject(
        "ObjectPool/_1327495610",
        fixture::linkedObjectStream(
            fixture::compositeMoniker({fixture::fileMoniker("C:\\Daten\\Mappe 1.xls"),
                                       fixture::itemMoniker("!", "Tabelle1!Z1S1")}),
            fixture::compositeMoniker({fixture::fileMoniker("\\Mappe 1.xls", 1, false),
                                       fixture::itemMoniker("!", "Tabelle1!Z1S1")})));
    document.write(path);
    const ToolRun result = run({"--json", path});
    const QJsonObject link = QJsonDocument::fromJson(QByteArray::fromStdString(result.out))
                                 .array()[0]
                                 .toObject()[QStringLiteral("links")]
                                 .toArray()[0]
                                 .toObject();
    EXPECT_EQ(link[QStringLiteral("saved_absolute")].toString(),
              QStringLiteral("C:\\Daten\\Mappe 1.xls!Tabelle1!Z1S1"));
    EXPECT_EQ(link[QStringLiteral("saved_relative")].toString(),
              QStringLiteral("..\\Mappe 1.xls!Tabelle1!Z1S1"));
    EXPECT_EQ(link[QStringLiteral("full_name")].toString().toStdString(), workbook);
    EXPECT_EQ(link[QStringLiteral("storage")].toString(), QStringLiteral("ObjectPool/_1327495610"));
}

TEST_F(LinksTool, ControlCharactersOfStorageNamesAreShownInTheText) {
    const std::string path = m_work.at("Familie.asm");
    fixture::CompoundDocument document;
    document.addSolidEdgeLink("Master\x01/JSite38", {"C:\\a.par"})
        .addLinkObject("Master\x01/JSite39", {1, 0, 0, 2});
    document.write(path);
    const ToolRun text = run({path});
    EXPECT_NE(text.out.find("  Master\\x01/JSite38: C:\\a.par (missing)\n"), std::string::npos);
    EXPECT_EQ(text.err, "ostrevan-links: " + path +
                            ": Master\\x01/JSite39: link object skipped (damaged, or nested too "
                            "deep to read)\n");
    const ToolRun json = run({"--json", path});
    EXPECT_NE(json.out.find("\"storage\": \"Master\\u0001/JSite38\""), std::string::npos);
}

TEST_F(LinksTool, ExitStatusForUsageAndUnreadableFiles) {
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"--jsn", "a.par"}).status, 2);
    const ToolRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("0  jede Datei wurde gelesen"), std::string::npos);
    const std::string bad = m_work.file("kaputt.par", "kein Verbunddokument");
    const std::string good = m_work.at("gut.par");
    fixture::writeCompoundDocument(good, {{"C:\\a.par"}});
    const ToolRun some = run({bad, good});
    EXPECT_EQ(some.status, 1);
    EXPECT_EQ(some.err, "ostrevan-links: " + bad + ": Ungültiges Dateiformat (321)\n");
    EXPECT_EQ(some.out.rfind(good + ": 1 link\n", 0), 0u);
    EXPECT_EQ(run({"--", good}).status, 0);
}

TEST_F(LinksTool, MalformedRuleLinesAreReportedOnceAndDoNotStopTheTool) {
    const std::string good = m_work.at("gut.par");
    fixture::writeCompoundDocument(good, {{"C:\\a.par"}});
    m_config.file("LinkMgmt.txt", "CONTAINER\nUNSINN\n");
    const ToolRun result = run({good, good});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "ostrevan-links: LinkMgmt.txt:2: unknown line: UNSINN\n");
}

TEST_F(LinksTool, ADamagedLinkObjectIsNamedAndTheRestListed) {
    const std::string path = m_work.at("teils kaputt.asm");
    fixture::CompoundDocument document;
    document.addLinkObject("JSite1", {1, 0, 0, 2, 1, 0, 0, 0}).addLink("JSite2", {"C:\\b.par"});
    document.write(path);
    const ToolRun result = run({path});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err,
              "ostrevan-links: " + path +
                  ": JSite1: link object skipped (damaged, or nested too deep to read)\n");
    EXPECT_EQ(result.out.rfind(path + ": 1 link\n  JSite2: C:\\b.par (missing)\n", 0), 0u);
}

TEST_F(LinksTool, TheProgramExitsWithTheStatus) {
    const std::string tool = OSTREVAN_LINKS_TOOL;
    const std::string quiet = " >/dev/null 2>&1";
    const std::string env = "XDG_CONFIG_HOME='" + m_config.path() + "' ";
    const auto status = [&](const std::string& arguments) {
        const int raw = std::system((env + "'" + tool + "' " + arguments + quiet).c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    const std::string good = m_work.at("gut.par");
    fixture::writeCompoundDocument(good, {{"C:\\a.par"}});
    EXPECT_EQ(status("'" + good + "'"), 0);
    EXPECT_EQ(status("'" + good + "' '" + m_work.at("fehlt.par") + "'"), 1);
    EXPECT_EQ(status("--bogus"), 2);

    // Output that cannot be written is no success.
    const std::string errors = m_work.at("fehler.txt");
    const int full =
        std::system((env + "'" + tool + "' '" + good + "' >/dev/full 2>'" + errors + "'").c_str());
    ASSERT_TRUE(WIFEXITED(full));
    EXPECT_EQ(WEXITSTATUS(full), 1);
    EXPECT_EQ(test::readBytes(errors), "ostrevan-links: Die Ausgabe konnte nicht geschrieben "
                                       "werden: Datenträger voll\n");
}

} // namespace
} // namespace ostrevan
