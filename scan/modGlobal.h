#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ostrevan {

struct MainForm;
struct ScanContext;

// The document file list: entries 1..count hold the documents' full paths; entry 0 is never
// written. The count travels beside it.
using DocumentFileList = std::vector<std::string>;

// The three scan procedures the driver dispatches to; replaced by fakes in the driver's tests.
class ScanProcedures {
public:
    virtual ~ScanProcedures() = default;
    virtual void GetFileReferenz() = 0;
    virtual void RekursivFolder(std::string& path, DocumentFileList& files,
                                std::int32_t& count) = 0;
    virtual void ReadReference(std::string& path, DocumentFileList& files, std::int32_t& count) = 0;
};

// The real procedures over a scan context.
class ModGlobalProcedures final : public ScanProcedures {
public:
    explicit ModGlobalProcedures(ScanContext& context) : m_context(context) {}
    void GetFileReferenz() override;
    void RekursivFolder(std::string& path, DocumentFileList& files, std::int32_t& count) override;
    void ReadReference(std::string& path, DocumentFileList& files, std::int32_t& count) override;

private:
    ScanContext& m_context;
};

void EnableFolderRekursiv(MainForm& form, const bool& enabled);

// The result list's three columns in twips for a list of the given width.
struct ResultColumnWidths {
    double anzahl;
    double dokument;
    double referenz;
};
ResultColumnWidths resultColumnWidths(double listWidthTwips);

// The scan that Dokumentyp selects, on the text of txt_SEDokument: a folder's documents
// collected and read, or the one document's references. Rows go to ListView1 as found.
void runSelectedScan(ScanContext& context, ScanProcedures& procedures);

// The click on "Anzeigen": empties the result list, runs the scan that Dokumentyp selects and
// sets "Export" by the rows found.
void btn_ReferenzView_Click(ScanContext& context, ScanProcedures& procedures);

// The references of the one document in txt_SEDokument, through "QZVSEObject.Application".
void GetFileReferenz(ScanContext& context);

// The first half of a folder scan: appends the Solid Edge documents of the folder at path
// (and, when Rekurisv is 1, of the folders below it) to files and count.
void RekursivFolder(ScanContext& context, std::string& path, DocumentFileList& files,
                    std::int32_t& count);

// The second half: one row per link of documents 1..count that the reference type keeps,
// read through "RevisionManager.Application".
void ReadReference(ScanContext& context, std::string& path, DocumentFileList& files,
                   std::int32_t& count);

} // namespace ostrevan
