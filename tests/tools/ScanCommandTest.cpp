// ostrevan-scan in this process over trees on disk: rows, formats, filters, exit statuses.

#include "tools/ostrevan-scan/ScanCommand.h"

#include "platform/Text.h"
#include "tests/tools/ScanTree.h"

#include <QJsonValue>

#include <gtest/gtest.h>

#include <filesystem>

namespace ostrevan {
namespace {

using Records = std::vector<std::vector<std::string>>;

class ScanCommandTest : public ::testing::Test {
protected:
    std::string at(const std::string& relative) const { return tree.at(relative); }

    test::ScanTree tree;
};

TEST_F(ScanCommandTest, AFolderGivesTheRowsOfLinksOutsideWithHowEachResolved) {
    const test::CommandRun run = tree.run({"-r", "--format", "json", tree.project});
    EXPECT_EQ(run.status, kScanRowsListed) << run.err;
    const std::string assembly = at("Projekt Ä/Baugruppe.asm");
    const std::string shaft = at("Projekt Ä/Teile/Welle.par");
    EXPECT_EQ(
        test::jsonRows(run.out),
        (Records{
            {"1", assembly, at("Bibliothek/Schraube M6.par"), "found", "absolute",
             at("Bibliothek/Schraube M6.par"), ""},
            {"2", assembly, at("Projekt Ä2/Flansch.par"), "found", "absolute",
             at("Projekt Ä2/Flansch.par"), ""},
            {"3", assembly, at("fehlt/weg.par"), "missing", "missing", at("fehlt/weg.par"), ""},
            {"4", shaft, at("Bibliothek/Mutter M6.par"), "found", "relative",
             "C:\\Alt\\Bibliothek\\Mutter M6.par", "..\\..\\..\\Bibliothek\\Mutter M6.par"}}));
    const QJsonObject summary =
        test::jsonLines(run.out).back().value(QStringLiteral("summary")).toObject();
    EXPECT_EQ(summary.value(QStringLiteral("documents")).toInt(), 3);
    EXPECT_EQ(summary.value(QStringLiteral("links")).toInt(), 7);
    EXPECT_EQ(summary.value(QStringLiteral("rows")).toInt(), 4);
    EXPECT_EQ(summary.value(QStringLiteral("unreadable")).toInt(), 0);
    EXPECT_TRUE(summary.value(QStringLiteral("seconds")).isDouble());
    EXPECT_EQ(run.err.rfind("ostrevan-scan: 3 Dokumente, 7 Links, 4 Zeilen, 0 nicht lesbar, ", 0),
              0u)
        << run.err;
    EXPECT_EQ(run.err.find('\r'), std::string::npos) << "progress off a terminal";
}

// Which references each choice lists, in order.
struct FilterCase {
    const char* name;
    std::vector<std::string> options;
    std::vector<std::string> references;
};

class ScanFilters : public ScanCommandTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(ScanFilters, ListTheReferencesTheChoiceAsksFor) {
    std::vector<std::string> arguments = GetParam().options;
    arguments.push_back(tree.project);
    arguments.insert(arguments.begin(), {"--format", "csv"});
    const test::CommandRun run = tree.run(arguments);
    const Records records = test::csvRecords(run.out);
    ASSERT_FALSE(records.empty()) << run.err;
    std::vector<std::string> references;
    for (std::size_t i = 1; i < records.size(); ++i) {
        EXPECT_EQ(records[i][0], std::to_string(i)) << "numbered without gaps";
        references.push_back(records[i][2].substr(tree.temp.path().size() + 1));
    }
    EXPECT_EQ(references, GetParam().references);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, ScanFilters,
    ::testing::Values(
        FilterCase{"OutsideWithoutRecursion",
                   {},
                   {"Bibliothek/Schraube M6.par", "Projekt Ä2/Flansch.par", "fehlt/weg.par"}},
        FilterCase{"AllWithRecursion",
                   {"-r", "--all"},
                   {"Projekt Ä/Deckel.par", "Projekt Ä/Teile/Welle.par",
                    "Bibliothek/Schraube M6.par", "Projekt Ä2/Flansch.par", "fehlt/weg.par",
                    "Bibliothek/Mutter M6.par", "Projekt Ä/Teile/verloren.par"}},
        FilterCase{"MissingInsideAndOutside",
                   {"-r", "--missing"},
                   {"fehlt/weg.par", "Projekt Ä/Teile/verloren.par"}},
        FilterCase{"MissingWithAllIsTheSame",
                   {"--all", "-r", "--missing"},
                   {"fehlt/weg.par", "Projekt Ä/Teile/verloren.par"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScanCommandTest, ADocumentGivesItsOwnReferencesOutsideItsFolder) {
    const test::CommandRun run = tree.run({"--format=csv", at("Projekt Ä/Teile/Welle.par")});
    EXPECT_EQ(run.status, kScanRowsListed) << run.err;
    EXPECT_EQ(test::csvRecords(run.out),
              (Records{{"number", "document", "reference", "status", "resolved_by",
                        "saved_absolute", "saved_relative"},
                       {"1", at("Projekt Ä/Teile/Welle.par"), at("Bibliothek/Mutter M6.par"),
                        "found", "relative", "C:\\Alt\\Bibliothek\\Mutter M6.par",
                        "..\\..\\..\\Bibliothek\\Mutter M6.par"}}));
}

TEST_F(ScanCommandTest, TheReportIsTheExportsBytes) {
    const test::CommandRun run = tree.run({tree.project});
    const std::string assembly = "   " + at("Projekt Ä/Baugruppe.asm") + " - ";
    const std::string expected =
        "Anzahl  SolidEdge Dokument - Referenz\r\n" + std::string(82, '-') + "\r\n00001" +
        assembly + at("Bibliothek/Schraube M6.par") + "\r\n00002" + assembly +
        at("Projekt Ä2/Flansch.par") + "\r\n00003" + assembly + at("fehlt/weg.par") + "\r\n";
    EXPECT_EQ(run.out, toWindows1252(expected));
    EXPECT_NE(run.out.find("Projekt \xC4/Baugruppe.asm"), std::string::npos);
}

TEST_F(ScanCommandTest, CsvAndJsonLinesReadBackToTheSameRows) {
    tree.document("Projekt Ä/Sonder, \"zeichen\".par",
                  {at("Bibliothek/Komma, \"Anführung\"\nZeile\r\tTab.par")});
    const test::CommandRun csv = tree.run({"-r", "--all", "--format", "csv", tree.project});
    const test::CommandRun json = tree.run({"-r", "--all", "--format", "json", tree.project});
    Records records = test::csvRecords(csv.out);
    ASSERT_GT(records.size(), 1u);
    records.erase(records.begin());
    EXPECT_EQ(records, test::jsonRows(json.out));
    EXPECT_EQ(records.size(), 8u);
    const auto odd = std::find_if(records.begin(), records.end(), [](const auto& row) {
        return row[2].find("Komma") != std::string::npos;
    });
    ASSERT_NE(odd, records.end());
    EXPECT_EQ((*odd)[2], at("Bibliothek/Komma, \"Anführung\"\nZeile\r\tTab.par"));
    EXPECT_EQ((*odd)[3], "missing");
}

TEST_F(ScanCommandTest, NamesThatAreNotUtf8StayReadableJsonAndCsv) {
    tree.document("Projekt Ä/Geh\xE4use.par", {at("fehlt/Geh\xE4use.par")});
    const test::CommandRun json = tree.run({"--format", "json", tree.project});
    const test::CommandRun csv = tree.run({"--format", "csv", tree.project});
    EXPECT_EQ(test::jsonRows(json.out).size(), 4u);
    EXPECT_EQ(test::csvRecords(csv.out).size(), 5u);
    const test::CommandRun report = tree.run({tree.project});
    EXPECT_NE(report.out.find("Geh"), std::string::npos);
}

struct StatusCase {
    const char* name;
    std::vector<std::string> arguments; // "@" stands for the tree's folder
    int status;
};

class ScanExitStatus : public ScanCommandTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(ScanExitStatus, SaysHowTheScanEnded) {
    tree.temp.folder("Leer");
    tree.temp.file("kaputt/kaputt.par", "kein Verbunddokument");
    tree.document("kaputt/gut.par", {"C:\\aussen.par"});
    std::vector<std::string> arguments;
    for (const std::string& argument : GetParam().arguments) {
        arguments.push_back(argument.starts_with("@") ? at(argument.substr(1)) : argument);
    }
    const test::CommandRun run = tree.run(arguments);
    EXPECT_EQ(run.status, GetParam().status) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ScanExitStatus,
    ::testing::Values(StatusCase{"NoRow", {"@Leer"}, 0},
                      StatusCase{"OnlyLinksInside", {"--missing", "@Bibliothek"}, 0},
                      StatusCase{"RowsListed", {"-r", "@Projekt Ä"}, 1},
                      StatusCase{"HelpAsked", {"--help"}, 0}, StatusCase{"NoPath", {"-r"}, 2},
                      StatusCase{"TwoPaths", {"@Leer", "@Bibliothek"}, 2},
                      StatusCase{"UnknownOption", {"--rekursiv", "@Leer"}, 2},
                      StatusCase{"UnknownFormat", {"--format", "xml", "@Leer"}, 2},
                      StatusCase{"FormatWithoutValue", {"@Leer", "--format"}, 2},
                      StatusCase{"EmptyOutputName", {"-o", "", "@Leer"}, 2},
                      StatusCase{"PathMissing", {"@gibt es nicht"}, 2},
                      StatusCase{"DocumentUnreadable", {"@kaputt/kaputt.par"}, 3},
                      StatusCase{"FolderWithAnUnreadableDocument", {"@kaputt"}, 3},
                      StatusCase{"OutputFolderMissing", {"-o", "@nirgends/aus.txt", "@Leer"}, 4},
                      StatusCase{"OutputIsAFolder", {"-o", "@Leer", "@Bibliothek"}, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScanCommandTest, AnUnreadableDocumentIsNamedAndTheOthersAreComplete) {
    tree.temp.file("Projekt Ä/Teile/0 leer.par", "");
    const test::CommandRun run = tree.run({"-r", "--format", "csv", tree.project});
    EXPECT_EQ(run.status, kScanSomethingUnreadable);
    EXPECT_NE(run.err.find("ostrevan-scan: " + at("Projekt Ä/Teile/0 leer.par") + ": "),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(" (321)\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(", 1 nicht lesbar, "), std::string::npos) << run.err;
    const Records records = test::csvRecords(run.out);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back()[2], at("Bibliothek/Mutter M6.par")) << "the documents after it";
}

TEST_F(ScanCommandTest, ProgressOnATerminalIsOneLineRewrittenAndQuietSilencesIt) {
    const test::CommandRun shown = tree.run({"-r", tree.project}, {}, true);
    EXPECT_NE(shown.err.find("\rDokumente "), std::string::npos) << shown.err;
    EXPECT_EQ(shown.err.find('\n'), shown.err.size() - 1) << "no line but the summary ends";
    const std::string afterProgress = shown.err.substr(shown.err.rfind('\r') + 1);
    EXPECT_EQ(afterProgress.rfind("ostrevan-scan: 3 Dokumente, ", 0), 0u) << shown.err;
    const test::CommandRun quiet = tree.run({"-q", "-r", tree.project}, {}, true);
    EXPECT_EQ(quiet.err.find('\r'), std::string::npos);
    EXPECT_EQ(quiet.out, shown.out);
}

} // namespace
} // namespace ostrevan
