#include "scan/ExportReference.h"

#include "platform/Controls.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Numbers.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "scan/MainForm.h"
#include "scan/ScanContext.h"

#include <algorithm>

namespace ostrevan {
namespace {

constexpr const char* kLineEnd = "\r\n";

// The first column through the number pattern "00000": a number is zero-padded to five
// digits and written in full when longer; any other text is left as it is.
std::string formattedRowNumber(const std::string& text) {
    const bool isNumber = !text.empty() && std::all_of(text.begin(), text.end(),
                                                       [](char c) { return c >= '0' && c <= '9'; });
    return isNumber ? formatZeroPadded(textToInt32(text), "00000") : text;
}

void writeReport(ScanContext& context, const std::string& path) {
    const std::unique_ptr<TextStream> stream =
        context.fileSystem.OpenTextFile(path, io::ForWriting, true, io::TristateFalse);
    stream->Write(reportHeading());
    const ListView& list = context.form.ListView1;
    const std::int32_t rows = list.count();
    for (std::int32_t row = 1; row <= rows; ++row) {
        stream->Write(reportLine(list.text(row, 0), list.text(row, 1), list.text(row, 2)));
    }
    stream->Close();
}

} // namespace

std::string reportHeading() {
    const std::string header =
        std::string("Anzahl") + "  " + "SolidEdge Dokument" + " - " + "Referenz";
    return header + kLineEnd + std::string(82, '-') + kLineEnd;
}

std::string reportLine(const std::string& number, const std::string& document,
                       const std::string& reference) {
    // A line break inside a name would forge report lines: control characters become '?'.
    return controlsAsQuestionMarks(formattedRowNumber(number)) + "   " +
           controlsAsQuestionMarks(document) + " - " + controlsAsQuestionMarks(reference) +
           kLineEnd;
}

void ExportReference(ScanContext& context, const std::string& path) {
    // The stream goes out of scope inside the trapped body: after an error the new report is
    // dropped, and the old one left whole, before the message shows.
    if (const auto error = trapError([&] { writeReport(context, path); })) {
        context.messageBox.show(trapMessage("ExportReference() ", *error, " "));
    }
}

void btn_export_Click(ScanContext& context, Shell& shell, const std::string& reportFolder) {
    const std::string path = FileSystem::BuildPath(reportFolder, kReportFileName);
    ExportReference(context, path);
    if (context.fileSystem.FileExists(path)) {
        shell.execute("Open", path);
    } else {
        context.messageBox.show(std::string("Datei konnte nicht gefunden werden. ") + kLineEnd +
                                path);
    }
}

} // namespace ostrevan
