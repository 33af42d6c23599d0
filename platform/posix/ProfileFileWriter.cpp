#include "platform/posix/ProfileFileWriter.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <random>
#include <sys/file.h>
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
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

constexpr std::string_view kTemporarySuffix = ".tmp";

// A temporary file of the INI file name is "." + stem + "." + digits + ".tmp"; the stem is
// short enough for any file system's name limit, whatever the INI file is called.
std::string temporaryPrefix(const std::string& name) {
    return "." + name.substr(0, 200) + ".";
}

bool isTemporaryOf(const std::string& candidate, const std::string& prefix) {
    if (!candidate.starts_with(prefix) || !candidate.ends_with(kTemporarySuffix)) {
        return false;
    }
    const std::string_view digits = std::string_view(candidate).substr(
        prefix.size(), candidate.size() - prefix.size() - kTemporarySuffix.size());
    return !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

// The new contents before they take the file's place; removed unless committed.
class TemporaryFile final {
public:
    TemporaryFile(const std::string& folder, const std::string& name) {
        const std::string stem = folder + "/" + temporaryPrefix(name);
        std::random_device random;
        for (int attempt = 0; attempt < 100 && !m_fd.valid(); ++attempt) {
            std::string candidate = stem + std::to_string(random()) + std::string(kTemporarySuffix);
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

// Only a writer holding the folder's lock may call this: no other is writing there then.
void removeStaleTemporaries(const std::string& target) {
    const std::string prefix = temporaryPrefix(nameOf(target));
    std::error_code error;
    for (std::filesystem::directory_iterator entries(folderOf(target), error), end;
         !error && entries != end; entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        if (isTemporaryOf(name, prefix)) {
            ::unlink(entries->path().c_str());
        }
    }
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

// A symbolic link stays a link: the write goes to the file it points to.
std::optional<std::string> profileWriteTarget(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
        return path;
    }
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                               &std::free);
    if (!resolved) {
        return std::nullopt;
    }
    return std::string(resolved.get());
}

ProfileWriteLock::ProfileWriteLock(const std::string& target) {
    Descriptor folder(::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) {
        return;
    }
    int rc = 0;
    while ((rc = ::flock(folder.get(), LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (rc != 0) {
        return;
    }
    m_folder = folder.release();
    removeStaleTemporaries(target);
}

ProfileWriteLock::~ProfileWriteLock() {
    // Closing the descriptor releases the lock.
    if (m_folder >= 0) {
        ::close(m_folder);
    }
}

bool replaceProfileFile(const std::string& target, std::string_view bytes,
                        const BeforeReplace& beforeReplace) {
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) {
        return false;
    }
    // Windows refuses a read-only file to administrators too: the mode bits decide, not only
    // the access check that root always passes.
    constexpr mode_t anyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
    if (exists && (!S_ISREG(old.st_mode) || (old.st_mode & anyWrite) == 0 ||
                   ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)) {
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
