#include "tools/ostrevan-scan/ScanCommand.h"

#include "platform/Automation.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/ole/LinkReaderServers.h"
#include "scan/ScanContext.h"
#include "scan/clsSettings.h"
#include "scan/modGlobal.h"
#include "tools/ostrevan-scan/ConsoleControls.h"
#include "tools/ostrevan-scan/HelpText.h"
#include "tools/ostrevan-scan/ReadRecorder.h"
#include "tools/ostrevan-scan/RowFormats.h"
#include "tools/ostrevan-scan/ScanOptions.h"
#include "tools/ostrevan-scan/ScanProgress.h"

#include <chrono>
#include <ostream>
#include <set>

namespace ostrevan {
namespace {

// The window's scan procedures; the progress learns how many documents were found.
class CountingProcedures final : public ScanProcedures {
public:
    CountingProcedures(ScanContext& context, ScanProgress& progress)
        : m_procedures(context), m_progress(progress) {}

    void GetFileReferenz() override {
        m_found = 1;
        m_progress.setFound(m_found);
        m_procedures.GetFileReferenz();
    }
    void RekursivFolder(std::string& path, DocumentFileList& files, std::int32_t& count) override {
        m_procedures.RekursivFolder(path, files, count);
        m_found = count;
        m_progress.setFound(m_found);
    }
    void ReadReference(std::string& path, DocumentFileList& files, std::int32_t& count) override {
        m_procedures.ReadReference(path, files, count);
    }

    std::int64_t found() const { return m_found; }

private:
    ModGlobalProcedures m_procedures;
    ScanProgress& m_progress;
    std::int64_t m_found = 0;
};

// Hands each row of the result list, with how its link resolved, to the output in the
// chosen format; with --missing only rows whose link was found nowhere, numbered anew.
class RowPrinter final {
public:
    RowPrinter(const ScanOptions& options, const ReadRecorder& recorder, ScanOutput& output,
               ScanProgress& progress)
        : m_missingOnly(options.missingOnly), m_format(makeRowFormat(options.format)),
          m_recorder(recorder), m_output(output), m_progress(progress) {}

    void begin() { m_output.write(m_format->heading()); }

    void print(const ConsoleRow& row) {
        ListedRow listed{m_rows + 1, row.document, row.reference,
                         m_recorder.find(row.document, row.reference)};
        if (m_missingOnly && linkStatus(listed) != "missing") {
            return;
        }
        m_output.write(m_format->row(listed));
        ++m_rows;
        m_progress.rowListed();
    }

    void end(const ScanSummary& summary) { m_output.write(m_format->ending(summary)); }

    std::int64_t rows() const { return m_rows; }

private:
    bool m_missingOnly;
    std::unique_ptr<RowFormat> m_format;
    const ReadRecorder& m_recorder;
    ScanOutput& m_output;
    ScanProgress& m_progress;
    std::int64_t m_rows = 0;
};

std::string secondsText(double seconds) {
    std::string text = decimalText(seconds, 1);
    for (char& c : text) {
        if (c == '.') {
            c = ',';
        }
    }
    return text;
}

void writeSummaryLine(std::ostream& err, const ScanSummary& summary) {
    err << "ostrevan-scan: " << summary.documents << " Dokumente, " << summary.links << " Links, "
        << summary.rows << " Zeilen, " << summary.unreadable << " nicht lesbar, "
        << secondsText(summary.seconds) << " s\n"
        << std::flush;
}

// The scan itself, over console stand-ins of the window's controls.
int scan(const ScanOptions& options, const std::string& chosenPath, bool folder,
         const ScanCommandEnvironment& environment) {
    const auto started = std::chrono::steady_clock::now();
    std::ostream& err = environment.err;
    ScanProgress progress(err, environment.errIsTerminal && !options.quiet);

    const std::unique_ptr<ScanOutput> output =
        options.outputFile ? atomicOutputFile(*options.outputFile, environment.outputFault)
                           : standardOutput(environment.out);
    if (!output->failure().empty()) {
        err << "ostrevan-scan: " << printablePath(output->failure()) << '\n';
        return kScanOutputFailed;
    }

    const auto recorder = std::make_shared<ReadRecorder>(err, progress);
    Automation automation;
    auto reported = std::make_shared<std::set<std::string>>();
    registerLinkReaderServers(
        automation, environment.configFolder,
        [&err, &progress, reported](const std::string& message) {
            if (reported->insert(message).second) {
                progress.clear();
                err << "ostrevan-scan: " << message << '\n';
            }
        },
        recorder);

    RowPrinter printer(options, *recorder, *output, progress);
    ConsoleForm console([&printer](const ConsoleRow& row) { printer.print(row); },
                        [&progress] { progress.fileLookedAt(); });
    console.txt_SEDokument.setText(chosenPath);
    clsSettings settings(console.form);
    settings.setRekurisv(options.recursive ? 1 : 0);
    settings.setDokumentyp(folder ? 1 : 0);
    settings.setReferenzTyp(options.all || options.missingOnly ? 1 : 0);

    ConsoleMessageBox messageBox(err, [&progress] { progress.clear(); });
    ConsoleMousePointer mousePointer;
    const RecordingFileSystem fileSystem(environment.fileSystem, *recorder);
    ScanContext context{console.form, settings, messageBox, mousePointer, automation, fileSystem};
    CountingProcedures procedures(context, progress);

    printer.begin();
    runSelectedScan(context, procedures);
    console.ListView1.finish();

    const ScanSummary summary{
        procedures.found(), recorder->linkCount(), printer.rows(), recorder->unreadableCount(),
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()};
    printer.end(summary);
    const bool written = output->commit();
    progress.clear();
    if (!written) {
        err << "ostrevan-scan: " << printablePath(output->failure()) << '\n';
    }
    writeSummaryLine(err, summary);
    if (!written) {
        return kScanOutputFailed;
    }
    if (summary.unreadable > 0 || messageBox.shown() > 0) {
        return kScanSomethingUnreadable;
    }
    return summary.rows > 0 ? kScanRowsListed : kScanNoRows;
}

} // namespace

int runScanCommand(const std::vector<std::string>& arguments,
                   const ScanCommandEnvironment& environment) {
    const ParsedCommandLine commandLine = parseScanCommandLine(arguments);
    if (commandLine.kind == ParsedCommandLine::Kind::Help) {
        environment.out << kHelpText << std::flush;
        return environment.out ? kScanNoRows : kScanOutputFailed;
    }
    if (commandLine.kind == ParsedCommandLine::Kind::UsageError) {
        environment.err << "ostrevan-scan: " << commandLine.error << '\n'
                        << "Hilfe: ostrevan-scan --help\n";
        return kScanUsageError;
    }
    const ScanOptions& options = commandLine.options;
    const FileSystem& fileSystem = environment.fileSystem;
    std::string chosenPath;
    bool folder = false;
    try {
        if (fileSystem.FolderExists(options.path)) {
            chosenPath = fileSystem.GetFolder(options.path).Path;
            folder = true;
        } else if (fileSystem.FileExists(options.path)) {
            chosenPath = fileSystem.GetFile(options.path).Path;
        } else {
            environment.err << "ostrevan-scan: " << printablePath(options.path)
                            << ": weder ein Dokument noch ein Ordner\n";
            return kScanUsageError;
        }
    } catch (...) {
        const Error error = caughtError();
        environment.err << "ostrevan-scan: " << printablePath(options.path) << ": "
                        << error.description() << " (" << error.number() << ")\n";
        return kScanUsageError;
    }
    return scan(options, chosenPath, folder, environment);
}

} // namespace ostrevan
