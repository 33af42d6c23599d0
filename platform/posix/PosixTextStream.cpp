#include "platform/posix/PosixTextStream.h"

#include "platform/Error.h"
#include "platform/ReplacementFile.h"
#include "platform/TextFileStream.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrevan {
namespace {

[[noreturn]] void raiseErrno(int errnoValue) {
    raise(errorNumberForErrno(errnoValue));
}

// A file descriptor, closed once.
class DescriptorFile final : public OpenFile {
public:
    explicit DescriptorFile(int fd) : m_fd(fd) {}
    ~DescriptorFile() override {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    DescriptorFile(const DescriptorFile&) = delete;
    DescriptorFile& operator=(const DescriptorFile&) = delete;

    std::size_t read(char* data, std::size_t size) override {
        ssize_t got = 0;
        do {
            got = ::read(m_fd, data, size);
        } while (got < 0 && errno == EINTR);
        if (got < 0) {
            raiseErrno(errno);
        }
        return static_cast<std::size_t>(got);
    }

    void write(const char* data, std::size_t size) override {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t written = ::write(m_fd, data + done, size - done);
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                raiseErrno(errno);
            }
            done += static_cast<std::size_t>(written);
        }
    }

    void close() override {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0) {
            raiseErrno(errno);
        }
    }

private:
    int m_fd;
};

int openFlags(int ioMode, bool create) {
    const int creating = create ? O_CREAT : 0;
    switch (ioMode) {
    case io::ForReading:
        return O_RDONLY | creating;
    case io::ForAppending:
        return O_WRONLY | O_APPEND | creating;
    default:
        raise(err::InvalidCall);
    }
}

bool parentFolderExists(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return true;
    }
    struct stat info {};
    return ::stat(slash == 0 ? "/" : path.substr(0, slash).c_str(), &info) == 0 &&
           S_ISDIR(info.st_mode);
}

[[noreturn]] void raiseOpenError(const std::string& path, int failure) {
    if (failure == ENOENT) {
        raise(parentFolderExists(path) ? err::FileNotFound : err::PathNotFound);
    }
    if (failure == EISDIR) {
        raise(err::PermissionDenied);
    }
    raiseErrno(failure);
}

// A new file that replaces the old one only when it is complete.
std::unique_ptr<TextStream> openForWriting(const std::string& path, bool create,
                                           TextEncoding encoding) {
    struct stat info {};
    if (!create && ::lstat(path.c_str(), &info) != 0) {
        raiseOpenError(path, errno);
    }
    return textStreamReplacing(openReplacementFile(path), encoding);
}

} // namespace

std::unique_ptr<TextStream> openTextStream(const std::string& path, int ioMode, bool create,
                                           int format) {
    const TextEncoding encoding = textEncoding(format);
    if (path.empty()) {
        raise(err::FileNotFound);
    }
    if (ioMode == io::ForWriting) {
        return openForWriting(path, create, encoding);
    }
    const int flags = openFlags(ioMode, create);
    // Not blocking, so that a pipe without a writer does not hang the open.
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        raiseOpenError(path, errno);
    }
    auto file = std::make_unique<DescriptorFile>(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        raiseErrno(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        raise(err::PermissionDenied);
    }
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
        raise(err::PathFileAccess);
    }
    if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        raiseErrno(errno);
    }
    return textStreamOn(std::move(file), ioMode, encoding, info.st_size == 0);
}

} // namespace ostrevan
