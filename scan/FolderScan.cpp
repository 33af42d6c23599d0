#include "scan/modGlobal.h"

#include "platform/Controls.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Numbers.h"
#include "platform/Text.h"
#include "scan/MainForm.h"
#include "scan/ScanContext.h"
#include "scan/clsSettings.h"

#include <algorithm>
#include <unordered_set>

namespace ostrevan {
namespace {

// Directory + system + hidden and nothing else: a folder the system keeps to itself.
constexpr std::int32_t kSkippedAttributes = 22;

// Whether text holds "SOLID EDGE" without regard to case; ASCII text is searched in place.
bool namesSolidEdge(const std::string& text) {
    constexpr std::string_view kSolidEdge = "SOLID EDGE";
    if (!isAscii(text)) {
        return upperCase(text).find(kSolidEdge) != std::string::npos;
    }
    return std::search(text.begin(), text.end(), kSolidEdge.begin(), kSolidEdge.end(),
                       [](char c, char upper) { return asciiUpperCase(c) == upper; }) != text.end();
}

bool isDocument(const File& file) {
    return namesSolidEdge(file.Type) &&
           !UpperCaseEqual()(FileSystem::GetExtensionName(file.Name), "CFG");
}

// Parent folder + separator + name, the separator doubled after a root that ends in one.
// The separator is the one the folder's path is written with.
std::string documentPath(const std::string& parentFolder, const std::string& name) {
    const bool windows =
        parentFolder.find('\\') != std::string::npos && parentFolder.find('/') == std::string::npos;
    return parentFolder + (windows ? '\\' : '/') + name;
}

// The folders searched so far in this scan. Each real folder is searched once, under the
// first path that reaches it: symbolic links may lead back up the branch (an endless walk)
// or to one folder by many paths (a lattice of links doubles the work at every level).
using VisitedFolders = std::unordered_set<std::string>;

// Marks the folder as searched; false when it was already.
bool firstVisit(VisitedFolders& visited, const Folder& folder) {
    return folder.Identity.empty() || visited.insert(folder.Identity).second;
}

void appendDocument(DocumentFileList& files, std::int32_t& count, std::string path) {
    const std::int32_t next = addInt32(count, 1);
    files.resize(static_cast<std::size_t>(next) + 1);
    files[static_cast<std::size_t>(next)] = std::move(path);
    count = next;
}

void GetAllFiles(ScanContext& context, const Folder& folder, DocumentFileList& files,
                 std::int32_t& count, const std::int32_t& rekursiv, VisitedFolders& visited);

void searchFolder(ScanContext& context, const Folder& folder, DocumentFileList& files,
                  std::int32_t& count, const std::int32_t& rekursiv, VisitedFolders& visited) {
    if (folder.Attributes == kSkippedAttributes) {
        return;
    }
    const FileSystem& fileSystem = context.fileSystem;
    Label& status = context.form.lbl_references;
    for (const File& file : fileSystem.Files(folder)) {
        status.setCaption(file.ParentFolder);
        status.refresh();
        if (isDocument(file)) {
            appendDocument(files, count, documentPath(file.ParentFolder, file.Name));
        }
    }
    if (rekursiv != 1) {
        return;
    }
    for (const Folder& sub : fileSystem.SubFolders(folder)) {
        if (firstVisit(visited, sub)) {
            GetAllFiles(context, sub, files, count, rekursiv, visited);
        }
    }
}

// One folder, its own files before its sub-folders. An error abandons this folder and
// everything below it; the caller goes on with the next one.
void GetAllFiles(ScanContext& context, const Folder& folder, DocumentFileList& files,
                 std::int32_t& count, const std::int32_t& rekursiv, VisitedFolders& visited) {
    if (const auto error =
            trapError([&] { searchFolder(context, folder, files, count, rekursiv, visited); })) {
        // The message names no folder: the same error in another folder tells the user
        // nothing new (a registry that cannot be read fails every folder alike).
        std::vector<ScanFailure>& failed = context.failures.folders;
        const bool told = std::any_of(failed.begin(), failed.end(), [&](const ScanFailure& f) {
            return f.number == error->number() && f.description == error->description();
        });
        failed.push_back({folder.Path, error->number(), error->description()});
        if (!told) {
            context.messageBox.show(trapMessage("GetAllFiles() ", *error, " "));
        }
    }
}

void collectDocuments(ScanContext& context, const std::string& path, DocumentFileList& files,
                      std::int32_t& count) {
    const Folder folder = context.fileSystem.GetFolder(path);
    const std::int32_t rekursiv = context.Settings.Rekurisv();
    VisitedFolders visited;
    firstVisit(visited, folder);
    GetAllFiles(context, folder, files, count, rekursiv, visited);

    MainForm& form = context.form;
    form.lbl_references.setCaption("Gefunden wurden " + std::to_string(count) + " Dateien...");
    form.lbl_references.setCaption({});
    form.lbl_CheckRef.setCaption({});
}

} // namespace

void RekursivFolder(ScanContext& context, std::string& path, DocumentFileList& files,
                    std::int32_t& count) {
    context.failures.folders.clear();
    if (const auto error = trapError([&] { collectDocuments(context, path, files, count); })) {
        context.failures.folders.push_back({path, error->number(), error->description()});
        context.messageBox.show(trapMessage("RekursivFolder() ", *error, " "));
    }
}

void ModGlobalProcedures::RekursivFolder(std::string& path, DocumentFileList& files,
                                         std::int32_t& count) {
    ostrevan::RekursivFolder(m_context, path, files, count);
}

} // namespace ostrevan
