#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevan {

class FileTypeRegistry;

// Either separator of the paths the program meets: Windows's backslash and the slash.
inline bool isPathSeparator(char c) {
    return c == '/' || c == '\\';
}

// Scripting.FileSystemObject, the members the program calls. Paths are UTF-8. Members raise
// the runtime's errors: 53 file not found, 76 path not found, 70 permission denied, 57/61 for
// device errors and a full disk.

struct Folder {
    std::string Path;
    std::string Name;
    // directory 16, plus hidden 2, system 4, read-only 1, archive 32 where they apply.
    std::int32_t Attributes = 16;
    // Names the folder itself, whatever way it was reached (a symbolic link, ..): two folders
    // with equal Identity are the same folder.
    std::string Identity;
};

struct File {
    std::string Path;
    std::string Name;
    // The path of the folder holding the file.
    std::string ParentFolder;
    // The type description, e.g. "Solid Edge Part Document", "TXT-Datei", "Datei".
    std::string Type;
};

// IOMode and Format of OpenTextFile.
namespace io {
inline constexpr int ForReading = 1;
inline constexpr int ForWriting = 2;
inline constexpr int ForAppending = 8;
inline constexpr int TristateFalse = 0;       // ASCII: the ANSI code page, one byte a character
inline constexpr int TristateTrue = -1;       // Unicode (UTF-16LE)
inline constexpr int TristateUseDefault = -2; // the system's default, ASCII here
} // namespace io

class TextStream {
public:
    virtual ~TextStream() = default;
    // Writes text unchanged, no line end added.
    virtual void Write(const std::string& text) = 0;
    // The next line without its line end (CR LF, LF or CR); 62 past the end.
    virtual std::string ReadLine() = 0;
    virtual bool AtEndOfStream() const = 0;
    // Flushes and closes; a failing flush raises. Later calls do nothing.
    virtual void Close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual Folder GetFolder(const std::string& path) const = 0;
    // A folder's files and sub-folders, sorted by name without regard to case.
    virtual std::vector<File> Files(const Folder& folder) const = 0;
    virtual std::vector<Folder> SubFolders(const Folder& folder) const = 0;
    virtual File GetFile(const std::string& path) const = 0;
    virtual bool FileExists(const std::string& path) const = 0;
    virtual bool FolderExists(const std::string& path) const = 0;
    // ioMode ForReading, ForWriting or ForAppending; create makes a missing file; format one
    // of the Tristate values. ForWriting replaces an existing file when the stream is closed,
    // not before: a stream that fails or is dropped first leaves the old file whole.
    virtual std::unique_ptr<TextStream> OpenTextFile(const std::string& path, int ioMode,
                                                     bool create, int format) const = 0;

    // Path helpers; both '/' and '\' separate, since stored links may be Windows paths.

    // folder + separator + name; no separator added when folder ends in one. The separator
    // is '\' when folder already uses '\' and no '/', else '/'.
    static std::string BuildPath(std::string_view folder, std::string_view name);
    // The path without its last component and the separator before it; a root keeps its
    // separator ("/a" -> "/", "C:\a" -> "C:\"); "" when there is no folder part.
    static std::string GetParentFolderName(std::string_view path);
    // The last component ("" for a root).
    static std::string GetFileName(std::string_view path);
    // The same two as parts of path, without a copy.
    static std::string_view ParentFolderView(std::string_view path);
    static std::string_view FileNameView(std::string_view path);
    // The text after the last dot of the last component, "" when there is none.
    static std::string GetExtensionName(std::string_view path);
    // File.Type of a file named name: the registry's description for its extension, else
    // "<EXT>-Datei", or "Datei" when it has none.
    static std::string TypeOf(const FileTypeRegistry& types, std::string_view name);
    // A folder's files as a listing gives them: sorted by name without regard to case, each
    // with its type, the registry asked once per extension.
    static void FinishListing(std::vector<File>& files, const FileTypeRegistry& types);
};

} // namespace ostrevan
