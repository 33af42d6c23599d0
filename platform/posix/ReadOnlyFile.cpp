#include "platform/ole/ReadOnlyFile.h"

#include "platform/Error.h"
#include "platform/ole/LocalFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrevan {
namespace {

// path relative to folder, or as it is with AT_FDCWD.
int openReadOnly(int folder, const char* path) {
    constexpr int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    // O_NOATIME is refused for files of other users; reading them is still fine.
    int fd = openat(folder, path, flags | O_NOATIME);
    if (fd < 0 && errno == EPERM) {
        fd = openat(folder, path, flags);
    }
    if (fd < 0) {
        raise(errorNumberForErrno(errno));
    }
    return fd;
}

// The size of a regular file; closes fd and raises 321 for anything else.
std::uint64_t regularFileSize(int fd) {
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        raise(err::BadFileFormat);
    }
    return static_cast<std::uint64_t>(status.st_size);
}

} // namespace

ReadOnlyFile::ReadOnlyFile(const std::string& path)
    : m_handle(openReadOnly(AT_FDCWD, path.c_str())),
      m_size(regularFileSize(static_cast<int>(m_handle))) {}

ReadOnlyFile::ReadOnlyFile(const FolderFiles& folder, const std::string& name)
    : m_handle(folder.m_folder >= 0 ? openReadOnly(static_cast<int>(folder.m_folder), name.c_str())
                                    : openReadOnly(AT_FDCWD, (folder.m_prefix + name).c_str())),
      m_size(regularFileSize(static_cast<int>(m_handle))) {}

ReadOnlyFile::~ReadOnlyFile() {
    close(static_cast<int>(m_handle));
}

std::size_t ReadOnlyFile::readAt(std::uint8_t* target, std::size_t count, std::uint64_t offset) {
    ssize_t got = 0;
    do {
        got = pread(static_cast<int>(m_handle), target, count, static_cast<off_t>(offset));
    } while (got < 0 && errno == EINTR);
    return got < 0 ? 0 : static_cast<std::size_t>(got);
}

} // namespace ostrevan
