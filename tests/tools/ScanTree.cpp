#include "tests/tools/ScanTree.h"

#include "tests/support/CompoundFixture.h"
#include "tools/ostrevan-scan/ScanCommand.h"

#include <QJsonDocument>
#include <QJsonValue>

#include <csv.h>
#include <gtest/gtest.h>

#include <sstream>

namespace ostrevan::test {

ScanTree::ScanTree() {
    for (const char* extension : {"par", "asm", "psm", "dft", "pwd", "cfg"}) {
        types.add(extension, std::string("Solid Edge ") + extension + " Document");
    }
    config = temp.folder("Konfiguration");
    project = temp.folder("Projekt Ä");
    document("Projekt Ä/Baugruppe.asm",
             {at("Projekt Ä/Deckel.par"), at("Projekt Ä/Teile/Welle.par"),
              at("Bibliothek/Schraube M6.par"), at("Projekt Ä2/Flansch.par"), at("fehlt/weg.par")});
    document("Projekt Ä/Deckel.par", {});
    fixture::writeCompoundDocument(
        temp.file("Projekt Ä/Teile/Welle.par"),
        {{"C:\\Alt\\Bibliothek\\Mutter M6.par", "..\\..\\..\\Bibliothek\\Mutter M6.par"},
         {at("Projekt Ä/Teile/verloren.par")}},
        2048);
    temp.file("Projekt Ä/notes.txt", "Notizen");
    document("Projekt Ä/Einstellungen.cfg", {at("Bibliothek/Schraube M6.par")});
    document("Projekt Ä2/Flansch.par", {});
    document("Bibliothek/Schraube M6.par", {});
    document("Bibliothek/Mutter M6.par", {});
}

void ScanTree::document(const std::string& relative, const std::vector<std::string>& links) const {
    std::vector<fixture::FixtureLink> stored;
    for (const std::string& link : links) {
        stored.push_back({link});
    }
    fixture::writeCompoundDocument(temp.file(relative), stored, 2048);
}

CommandRun ScanTree::run(const std::vector<std::string>& arguments, OutputFault fault,
                         bool terminal) const {
    std::ostringstream out;
    std::ostringstream err;
    const ScanCommandEnvironment environment{out,        err,    terminal,
                                             fileSystem, config, std::move(fault)};
    const int status = runScanCommand(arguments, environment);
    return {status, out.str(), err.str()};
}

namespace {

struct CsvReading {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
};

void csvField(void* data, std::size_t length, void* reading) {
    static_cast<CsvReading*>(reading)->record.emplace_back(static_cast<const char*>(data), length);
}

void csvRecordEnd(int, void* reading) {
    auto& state = *static_cast<CsvReading*>(reading);
    state.records.push_back(std::move(state.record));
    state.record.clear();
}

} // namespace

std::vector<std::vector<std::string>> csvRecords(const std::string& text) {
    csv_parser parser{};
    EXPECT_EQ(csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI), 0);
    CsvReading reading;
    const std::size_t parsed =
        csv_parse(&parser, text.data(), text.size(), csvField, csvRecordEnd, &reading);
    EXPECT_EQ(parsed, text.size()) << csv_strerror(csv_error(&parser));
    EXPECT_EQ(csv_fini(&parser, csvField, csvRecordEnd, &reading), 0);
    csv_free(&parser);
    return reading.records;
}

std::vector<QJsonObject> jsonLines(const std::string& text) {
    std::vector<QJsonObject> objects;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        QJsonParseError error;
        const QJsonDocument document =
            QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
        EXPECT_TRUE(document.isObject()) << line;
        objects.push_back(document.object());
    }
    EXPECT_FALSE(!text.empty() && text.back() != '\n') << "the last line has no line end";
    return objects;
}

std::vector<std::vector<std::string>> jsonRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    for (const QJsonObject& object : jsonLines(text)) {
        if (object.contains(QStringLiteral("summary"))) {
            continue;
        }
        std::vector<std::string> row{
            std::to_string(object.value(QStringLiteral("number")).toInt())};
        for (const char* field : {"document", "reference", "status", "resolved_by",
                                  "saved_absolute", "saved_relative"}) {
            row.push_back(object.value(QString::fromLatin1(field)).toString().toStdString());
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace ostrevan::test
