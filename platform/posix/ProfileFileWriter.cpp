#include "platform/posix/ProfileFileWriter.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ostrevan {
namespace {

class Descriptor final {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    void reset(int fd) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = fd;
    }
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // close() reports the errors of delayed writes (NFS, full disks).
    bool close() { return ::close(std::exchange(m_fd, -1)) == 0; }

private:
    int m_fd;
};

// The new contents before they take the file's place; removed unless committed.
class TemporaryFile final {
public:
    TemporaryFile(const std::string& folder, const std::string& name) {
        // Short enough for any file system's name limit, whatever the INI file is called.
        const std::string stem = folder + "/." + name.substr(0, 200) + ".";
        std::random_device random;
        for (int attempt = 0; attempt < 100 && !m_fd.valid(); ++attempt) {
            std::string candidate = stem + std::to_string(random()) + ".tmp";
            // 0666 less the umask, as any new file gets; an old file's mode is set later.
            m_fd.reset(::open(candidate.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
            if (m_fd.valid()) {
                m_path = std::move(candidate);
            } else if (errno != EEXIST) {
                break;
            }
        }
    }
    ~TemporaryFile() {
        if (!m_path.empty()) {
            ::unlink(m_path.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    Descriptor& descriptor() { return m_fd; }
    const std::string& path() const { return m_path; }
    void commit() { m_path.clear(); }

private:
    Descriptor m_fd{-1};
    std::string m_path;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

// A symbolic link stays a link: the write goes to the file it points to.
bool resolveLink(std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
        return true;
    }
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                               &std::free);
    if (!resolved) {
        return false;
    }
    path = resolved.get();
    return true;
}

// The rename is on disk only once the folder is; the new file is in place either way.
void syncFolder(const std::string& folder) {
    const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid()) {
        ::fsync(fd.get());
    }
}

} // namespace

ProfileFileContents readProfileFile(const std::string& path) {
    using State = ProfileFileContents::State;
    // Non-blocking, so that a pipe under the name cannot hang the caller.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        return {errno == ENOENT || errno == ENOTDIR ? State::Missing : State::Unreadable, {}};
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return {State::Unreadable, {}};
    }
    ProfileFileContents contents{State::Read, {}};
    std::array<char, 16384> chunk{};
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return {State::Unreadable, {}};
        }
        if (got == 0) {
            return contents;
        }
        contents.bytes.append(chunk.data(), static_cast<std::size_t>(got));
    }
}

bool profileFolderExists(const std::string& path) {
    struct stat status {};
    return ::stat(folderOf(path).c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool replaceProfileFile(const std::string& path, std::string_view bytes,
                        const BeforeReplace& beforeReplace) {
    std::string target = path;
    if (!resolveLink(target)) {
        return false;
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) {
        return false;
    }
    if (exists &&
        (!S_ISREG(old.st_mode) || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)) {
        return false;
    }
    const std::string folder = folderOf(target);
    TemporaryFile temporary(folder, nameOf(target));
    Descriptor& fd = temporary.descriptor();
    if (!fd.valid() || !writeAll(fd.get(), bytes) ||
        (exists && ::fchmod(fd.get(), old.st_mode & 07777) != 0) || ::fsync(fd.get()) != 0 ||
        !fd.close()) {
        return false;
    }
    if (beforeReplace && !beforeReplace(temporary.path())) {
        return false;
    }
    if (::rename(temporary.path().c_str(), target.c_str()) != 0) {
        return false;
    }
    temporary.commit();
    syncFolder(folder);
    return true;
}

} // namespace ostrevan
