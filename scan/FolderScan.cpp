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

namespace ostrevan {
namespace {

// Directory + system + hidden and nothing else: a folder the system keeps to itself.
constexpr std::int32_t kSkippedAttributes = 22;

bool isDocument(const File& file) {
    return upperCase(file.Type).find("SOLID EDGE") != std::string::npos &&
           upperCase(FileSystem::GetExtensionName(file.Name)) != "CFG";
}

// Parent folder + separator + name, the separator doubled after a root that ends in one.
// The separator is the one the folder's path is written with.
std::string documentPath(const std::string& parentFolder, const std::string& name) {
    const bool windows =
        parentFolder.find('\\') != std::string::npos && parentFolder.find('/') == std::string::npos;
    return parentFolder + (windows ? '\\' : '/') + name;
}

// The folders of the current branch, the chosen one first: a symbolic link back to one of
// them would make the walk endless.
using FolderChain = std::vector<std::string>;

bool isOnChain(const FolderChain& chain, const Folder& folder) {
    return !folder.Identity.empty() &&
           std::find(chain.begin(), chain.end(), folder.Identity) != chain.end();
}

void appendDocument(DocumentFileList& files, std::int32_t& count, std::string path) {
    const std::int32_t next = addInt32(count, 1);
    files.resize(static_cast<std::size_t>(next) + 1);
    files[static_cast<std::size_t>(next)] = std::move(path);
    count = next;
}

void GetAllFiles(ScanContext& context, const Folder& folder, DocumentFileList& files,
                 std::int32_t& count, const std::int32_t& rekursiv, FolderChain& chain);

void searchFolder(ScanContext& context, const Folder& folder, DocumentFileList& files,
                  std::int32_t& count, const std::int32_t& rekursiv, FolderChain& chain) {
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
        if (!isOnChain(chain, sub)) {
            GetAllFiles(context, sub, files, count, rekursiv, chain);
        }
    }
}

// One folder, its own files before its sub-folders. An error abandons this folder and
// everything below it; the caller goes on with the next one.
void GetAllFiles(ScanContext& context, const Folder& folder, DocumentFileList& files,
                 std::int32_t& count, const std::int32_t& rekursiv, FolderChain& chain) {
    chain.push_back(folder.Identity);
    if (const auto error =
            trapError([&] { searchFolder(context, folder, files, count, rekursiv, chain); })) {
        context.messageBox.show(trapMessage("GetAllFiles() ", *error, " "));
    }
    chain.pop_back();
}

void collectDocuments(ScanContext& context, const std::string& path, DocumentFileList& files,
                      std::int32_t& count) {
    const Folder folder = context.fileSystem.GetFolder(path);
    const std::int32_t rekursiv = context.Settings.Rekurisv();
    FolderChain chain;
    GetAllFiles(context, folder, files, count, rekursiv, chain);

    MainForm& form = context.form;
    form.lbl_references.setCaption("Gefunden wurden " + std::to_string(count) + " Dateien...");
    form.lbl_references.setCaption({});
    form.lbl_CheckRef.setCaption({});
}

} // namespace

void RekursivFolder(ScanContext& context, std::string& path, DocumentFileList& files,
                    std::int32_t& count) {
    if (const auto error = trapError([&] { collectDocuments(context, path, files, count); })) {
        context.messageBox.show(trapMessage("RekursivFolder() ", *error, " "));
    }
}

void ModGlobalProcedures::RekursivFolder(std::string& path, DocumentFileList& files,
                                         std::int32_t& count) {
    ostrevan::RekursivFolder(m_context, path, files, count);
}

} // namespace ostrevan
