#include "tools/ostrevan-scan/RowFormats.h"

#include "platform/Text.h"
#include "platform/ole/LinkResolution.h"
#include "scan/ExportReference.h"
#include "tools/common/JsonText.h"

#include <charconv>
#include <vector>

namespace ostrevan {
namespace {

std::string resolvedBy(const ListedRow& row) {
    return row.link ? std::string(resolvedByName(row.link->resolvedBy)) : std::string();
}

// The bytes "Export" writes for the same rows.
class ReportFormat final : public RowFormat {
public:
    std::string heading() const override { return toWindows1252(reportHeading()); }
    std::string row(const ListedRow& row) const override {
        return toWindows1252(reportLine(std::to_string(row.number), row.document, row.reference));
    }
    std::string ending(const ScanSummary&) const override { return {}; }
};

// RFC 4180: a field with a comma, a quote or a line break is quoted, its quotes doubled.
std::string csvField(const std::string& text) {
    const std::string utf8 = validUtf8(text);
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) {
        return utf8;
    }
    std::string quoted = "\"";
    for (const char c : utf8) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

std::string csvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += (i == 0 ? "" : ",") + csvField(fields[i]);
    }
    return line + "\r\n";
}

class CsvFormat final : public RowFormat {
public:
    std::string heading() const override {
        return csvLine({"number", "document", "reference", "status", "resolved_by",
                        "saved_absolute", "saved_relative"});
    }
    std::string row(const ListedRow& row) const override {
        return csvLine({std::to_string(row.number), row.document, row.reference, linkStatus(row),
                        resolvedBy(row), row.link ? savedAbsolute(*row.link) : std::string(),
                        row.link ? savedRelative(*row.link).value_or("") : std::string()});
    }
    std::string ending(const ScanSummary&) const override { return {}; }
};

class JsonLinesFormat final : public RowFormat {
public:
    std::string heading() const override { return {}; }
    std::string row(const ListedRow& row) const override {
        std::optional<std::string> relative;
        if (row.link) {
            relative = savedRelative(*row.link);
        }
        return "{\"number\": " + std::to_string(row.number) +
               ", \"document\": " + jsonString(row.document) +
               ", \"reference\": " + jsonString(row.reference) +
               ", \"status\": " + jsonString(linkStatus(row)) +
               ", \"resolved_by\": " + jsonString(resolvedBy(row)) + ", \"saved_absolute\": " +
               jsonString(row.link ? savedAbsolute(*row.link) : std::string()) +
               ", \"saved_relative\": " + (relative ? jsonString(*relative) : "null") + "}\n";
    }
    std::string ending(const ScanSummary& summary) const override {
        return "{\"summary\": {\"documents\": " + std::to_string(summary.documents) +
               ", \"links\": " + std::to_string(summary.links) +
               ", \"rows\": " + std::to_string(summary.rows) +
               ", \"unreadable\": " + std::to_string(summary.unreadable) +
               ", \"seconds\": " + decimalText(summary.seconds, 3) + "}}\n";
    }
};

} // namespace

std::unique_ptr<RowFormat> makeRowFormat(OutputFormat format) {
    switch (format) {
    case OutputFormat::Csv:
        return std::make_unique<CsvFormat>();
    case OutputFormat::Json:
        return std::make_unique<JsonLinesFormat>();
    case OutputFormat::Report:
        break;
    }
    return std::make_unique<ReportFormat>();
}

std::string linkStatus(const ListedRow& row) {
    if (!row.link) {
        return {};
    }
    return row.link->resolvedBy == ResolvedBy::Missing ? "missing" : "found";
}

std::string decimalText(double value, int decimals) {
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, result.ptr);
}

} // namespace ostrevan
