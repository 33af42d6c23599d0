#pragma once

#include "platform/FileSystem.h"
#include "platform/posix/PseudoFileSystems.h"

namespace ostrevan {

class FileTypeRegistry;

// The file-system object on a POSIX file system. Symbolic links are followed; a broken link
// and anything that is neither a regular file nor a folder (pipes, sockets, devices) is
// neither a file nor a folder here, so that a scan never opens something that blocks; so is
// a link whose target cannot be looked up, and a sub-folder on a pseudo file system (proc,
// sysfs, ...). Names are kept as the bytes the file system holds, valid UTF-8 or not.
class PosixFileSystem final : public FileSystem {
public:
    // types answers File.Type and must outlive this object. A listing asks it once per
    // extension, so a registry change shows from the next listing on.
    explicit PosixFileSystem(const FileTypeRegistry& types);

    // Path is the absolute, lexically normalised path; Identity device and inode.
    // 76 when there is no such folder, 70 when a folder on the way may not be searched.
    Folder GetFolder(const std::string& path) const override;
    // 70 when the folder may not be read, 76 when it has gone.
    std::vector<File> Files(const Folder& folder) const override;
    std::vector<Folder> SubFolders(const Folder& folder) const override;
    // 53 when there is no such file, 70 when a folder on the way may not be searched.
    File GetFile(const std::string& path) const override;
    bool FileExists(const std::string& path) const override;
    bool FolderExists(const std::string& path) const override;
    std::unique_ptr<TextStream> OpenTextFile(const std::string& path, int ioMode, bool create,
                                             int format) const override;

private:
    const FileTypeRegistry& m_types;
    const PseudoFileSystems m_pseudoFileSystems;
};

} // namespace ostrevan
