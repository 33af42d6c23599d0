#pragma once

#include "platform/FileSystem.h"

#include <map>
#include <string>
#include <vector>

namespace ostrevan::test {

// A file system of folders and files held in maps. Listings come in the order they were
// added, not sorted, so that a test sees whether the logic keeps the file system's order.
// Types come from a table of extensions like the registry's; "<EXT>-Datei" otherwise.
// A folder can be told to fail its listings, and a folder can be a symbolic link to another.
class FakeFolderTree final : public FileSystem {
public:
    FakeFolderTree();

    // A folder with no parent, such as "/" or "C:\"; the path as given.
    std::string addRoot(const std::string& path, std::int32_t attributes = 16);
    // Returns the new folder's path: parent + separator + name.
    std::string addFolder(const std::string& parent, const std::string& name,
                          std::int32_t attributes = 16);
    // A symbolic link named name in parent that points to the folder at target.
    std::string addLink(const std::string& parent, const std::string& name,
                        const std::string& target);
    void addFile(const std::string& folder, const std::string& name);
    void registerType(const std::string& extension, std::string description);
    // Listing the folder's files (or sub-folders) raises number.
    void failFiles(const std::string& folder, std::int32_t number);
    void failSubFolders(const std::string& folder, std::int32_t number);

    Folder GetFolder(const std::string& path) const override;
    std::vector<File> Files(const Folder& folder) const override;
    std::vector<Folder> SubFolders(const Folder& folder) const override;
    File GetFile(const std::string& path) const override;
    bool FileExists(const std::string& path) const override;
    bool FolderExists(const std::string& path) const override;
    std::unique_ptr<TextStream> OpenTextFile(const std::string& path, int ioMode, bool create,
                                             int format) const override;

    // Every folder whose files were listed, in order.
    mutable std::vector<std::string> listed;

private:
    struct Node {
        std::int32_t attributes = 16;
        std::string identity;
        std::string linkTarget; // empty for a real folder
        std::vector<std::string> files;
        std::vector<std::string> folders; // names
        std::int32_t failFiles = 0;
        std::int32_t failSubFolders = 0;
    };

    // The real folder behind path, links resolved; nullptr when there is none.
    const Node* resolve(const std::string& path) const;
    Node& node(const std::string& path);
    std::string typeOf(const std::string& name) const;

    std::map<std::string, Node> m_nodes;
    std::map<std::string, std::string> m_types; // upper-cased extension -> description
};

} // namespace ostrevan::test
