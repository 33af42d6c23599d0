#pragma once

#include <string>

namespace ostrevan {

class Shell;
struct ScanContext;

// The report's file name inside its folder.
inline constexpr const char* kReportFileName = "QZVExportRef.txt";

// The report's header and rule of hyphens, each line with its CR LF.
std::string reportHeading();
// The report's line for a row: the number through the pattern "00000" (other text as it is),
// three blanks, the document, " - ", the reference and CR LF; control characters of the
// fields as '?'. Text as the result list holds it; the report's text stream writes it in
// Windows-1252.
std::string reportLine(const std::string& number, const std::string& document,
                       const std::string& reference);

// Writes the result list to the plain-text report at path: a header, a rule of hyphens and
// one line per row, in Windows-1252 with CR LF after every line; an existing report is
// replaced only by a complete new one. Reporting trap: an error shows "ExportReference() " +
// description + number, and the report that was there before stays as it was.
void ExportReference(ScanContext& context, const std::string& path);

// The click on "Export": writes the report into reportFolder and hands it to the shell, or
// says that there is no report to open.
void btn_export_Click(ScanContext& context, Shell& shell, const std::string& reportFolder);

} // namespace ostrevan
