#pragma once

#include "platform/FileSystem.h"

namespace ostrevan {

class FileTypeRegistry;

// The file-system object over the wide Win32 calls. Paths are Windows paths (C:\..., and
// \\server\share\... for a network share) of any length: the calls get them with the
// prefix \\?\ that lifts the limit of 260 characters. Listings are sorted by name without
// regard to case.
class Win32FileSystem final : public FileSystem {
public:
    // types answers File.Type (on Windows the registry's file classes) and must outlive this
    // object. A listing asks it once per extension.
    explicit Win32FileSystem(const FileTypeRegistry& types);

    // Path is the full path; Attributes Windows' own; Identity the volume and file index.
    // 76 when there is no such folder.
    Folder GetFolder(const std::string& path) const override;
    std::vector<File> Files(const Folder& folder) const override;
    std::vector<Folder> SubFolders(const Folder& folder) const override;
    // 53 when there is no such file.
    File GetFile(const std::string& path) const override;
    bool FileExists(const std::string& path) const override;
    bool FolderExists(const std::string& path) const override;
    std::unique_ptr<TextStream> OpenTextFile(const std::string& path, int ioMode, bool create,
                                             int format) const override;

private:
    const FileTypeRegistry& m_types;
};

} // namespace ostrevan
