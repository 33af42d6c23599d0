#pragma once

#include <string>

namespace ostrevan {

class Shell;
struct ScanContext;

// The report's file name inside its folder.
inline constexpr const char* kReportFileName = "QZVExportRef.txt";

// Writes the result list to the plain-text report at path: a header, a rule of hyphens and
// one line per row, in Windows-1252 with CR LF after every line; an existing report is
// replaced. Reporting trap: an error shows "ExportReference() " + description + number, and
// the lines written before it stay.
void ExportReference(ScanContext& context, const std::string& path);

// The click on "Export": writes the report into reportFolder and hands it to the shell, or
// says that there is no report to open.
void btn_export_Click(ScanContext& context, Shell& shell, const std::string& reportFolder);

} // namespace ostrevan
