#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ostrevan {

class FolderFiles;

// A regular file opened for reading only, by the backend of the build: never a writable
// handle, other programs may go on reading, writing, renaming or deleting it; on POSIX its
// access time is left alone where the system allows it.
class ReadOnlyFile final {
public:
    // Raises 53 (missing), 70 (no permission), 76 (a folder on the way is missing) and 321
    // for what is not a regular file (folders, devices, pipes: a pipe would block the reader).
    explicit ReadOnlyFile(const std::string& path);
    // The file name in the folder, opened from there where the folder is open; raises as above.
    ReadOnlyFile(const FolderFiles& folder, const std::string& name);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // The size when opened.
    std::uint64_t size() const { return m_size; }
    // Up to count bytes at offset into target; 0 at the end of the file or when reading fails.
    std::size_t readAt(std::uint8_t* target, std::size_t count, std::uint64_t offset);

private:
    // The system's descriptor or handle.
    std::intptr_t m_handle;
    std::uint64_t m_size = 0;
};

} // namespace ostrevan
