#include "platform/ole/FileInput.h"

#include "platform/Error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrevan {
namespace {

constexpr std::uint64_t kNoPage = ~std::uint64_t{0};

// path relative to folder, or as it is with AT_FDCWD.
int openReadOnly(int folder, const char* path) {
    constexpr int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    // O_NOATIME is refused for files of other users; reading them is still fine.
    int fd = openat(folder, path, flags | O_NOATIME);
    if (fd < 0 && errno == EPERM) {
        fd = openat(folder, path, flags);
    }
    return fd;
}

// The descriptor of a regular file opened read-only, and its size.
std::pair<int, std::uint64_t> openRegularFile(int folder, const char* path) {
    const int fd = openReadOnly(folder, path);
    if (fd < 0) {
        raise(errorNumberForErrno(errno));
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        raise(err::BadFileFormat);
    }
    return {fd, static_cast<std::uint64_t>(status.st_size)};
}

} // namespace

FileInput::FileInput(const std::string& path)
    : FileInput(openRegularFile(AT_FDCWD, path.c_str())) {}

FileInput::FileInput(int folder, const std::string& name)
    : FileInput(openRegularFile(folder, name.c_str())) {}

FileInput::FileInput(std::pair<int, std::uint64_t> file) : m_fd(file.first), m_size(file.second) {
    m_pageStart.fill(kNoPage);
}

FileInput::~FileInput() {
    close(m_fd);
}

bool FileInput::readFully(std::uint8_t* target, std::size_t count, std::uint64_t offset) {
    m_bytesRead += count;
    while (count > 0) {
        const ssize_t got = pread(m_fd, target, count, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        target += got;
        count -= static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
    return true;
}

const std::uint8_t* FileInput::page(std::uint64_t start) {
    if (!m_pages) {
        m_pages = std::make_unique_for_overwrite<std::uint8_t[]>(kPageSize * kCachedPages);
    }
    const auto slot = static_cast<std::size_t>(start / kPageSize % kCachedPages);
    std::uint8_t* bytes = m_pages.get() + slot * kPageSize;
    if (m_pageStart[slot] != start) {
        m_pageStart[slot] = kNoPage;
        const auto length =
            static_cast<std::size_t>(std::min<std::uint64_t>(kPageSize, m_size - start));
        if (!readFully(bytes, length, start)) {
            return nullptr;
        }
        m_pageStart[slot] = start;
    }
    return bytes;
}

bool FileInput::read(std::uint64_t offset, std::span<std::uint8_t> target) {
    const std::size_t count = target.size();
    if (offset > m_size || count > m_size - offset) {
        return false;
    }
    const std::uint64_t firstPage = offset / kPageSize * kPageSize;
    const std::uint64_t end = offset + count;
    if (count == 0 || end - firstPage > 2 * kPageSize) {
        // Large reads go straight to the caller's buffer.
        return readFully(target.data(), count, offset);
    }
    const std::uint8_t* first = page(firstPage);
    if (first == nullptr) {
        return false;
    }
    const auto within = static_cast<std::size_t>(offset - firstPage);
    const std::size_t head = std::min(count, kPageSize - within);
    std::memcpy(target.data(), first + within, head);
    if (head == count) {
        return true;
    }
    // Across two pages, which never share a slot.
    const std::uint8_t* second = page(firstPage + kPageSize);
    if (second == nullptr) {
        return false;
    }
    std::memcpy(target.data() + head, second, count - head);
    return true;
}

} // namespace ostrevan
