#include "platform/ReplacementFile.h"

#include "platform/Error.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ostrevan {
namespace {

constexpr std::int32_t kBadFileMode = 54;

[[noreturn]] void raiseErrno(int errnoValue) {
    raise(errorNumberForErrno(errnoValue));
}

// The target as it is now, not followed if it is a link; nothing when there is none.
std::optional<struct stat> existingTarget(const std::string& target) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0) {
        return info;
    }
    if (errno == ENOENT) {
        return std::nullopt;
    }
    raiseErrno(errno);
}

void refuseUnlessReplaceable(const std::string& target, const struct stat& info) {
    if (S_ISDIR(info.st_mode)) {
        raise(err::PermissionDenied);
    }
    if (!S_ISREG(info.st_mode)) {
        raise(err::PathFileAccess, std::string(kProgramName),
              target + " ist keine gewöhnliche Datei und wird nicht ersetzt");
    }
    // A file this user may not write is not replaced behind its owner's back.
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        raiseErrno(errno);
    }
}

class PosixReplacementFile final : public ReplacementFile {
public:
    PosixReplacementFile(std::string target, const std::optional<struct stat>& existing)
        : m_target(std::move(target)) {
        const std::filesystem::path path(m_target);
        m_folder = path.has_parent_path() ? path.parent_path().native() : std::string(".");
        // Hidden and short enough for any name limit, whatever the target is called.
        const std::string stem = m_folder + "/." + path.filename().native().substr(0, 200) + ".";
        std::random_device random;
        int failure = EEXIST;
        for (int attempt = 0; attempt < 100 && failure == EEXIST; ++attempt) {
            std::string candidate = stem + std::to_string(random()) + ".tmp";
            // Exclusive and not through a link: a name planted in the folder is never used.
            m_fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          0666);
            if (m_fd >= 0) {
                m_path = std::move(candidate);
                break;
            }
            failure = errno;
        }
        if (m_fd < 0) {
            raiseErrno(failure == ENOENT || failure == ENOTDIR ? ENOTDIR : failure);
        }
        if (existing && ::fchmod(m_fd, existing->st_mode & 07777) != 0) {
            const int failed = errno;
            discard();
            raiseErrno(failed);
        }
    }
    PosixReplacementFile(const PosixReplacementFile&) = delete;
    PosixReplacementFile& operator=(const PosixReplacementFile&) = delete;

    ~PosixReplacementFile() override { discard(); }

    void write(std::string_view bytes) override {
        if (m_fd < 0) {
            raise(kBadFileMode);
        }
        while (!bytes.empty()) {
            const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written < 0) {
                raiseErrno(errno);
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
    }

    void commit() override {
        if (m_fd < 0) {
            raise(kBadFileMode);
        }
        // close() reports the errors of delayed writes (NFS, full disks).
        const bool synced = ::fsync(m_fd) == 0;
        const int syncErrno = errno;
        const bool closed = ::close(std::exchange(m_fd, -1)) == 0;
        const int closeErrno = errno;
        if (!synced || !closed) {
            discard();
            raiseErrno(!synced ? syncErrno : closeErrno);
        }
        if (::rename(m_path.c_str(), m_target.c_str()) != 0) {
            const int failed = errno;
            discard();
            raiseErrno(failed);
        }
        m_path.clear();
        syncFolder();
    }

private:
    void discard() {
        if (m_fd >= 0) {
            ::close(std::exchange(m_fd, -1));
        }
        if (!m_path.empty()) {
            ::unlink(m_path.c_str());
            m_path.clear();
        }
    }

    // The rename is on disk only once the folder is; the new file is in place either way.
    void syncFolder() const {
        const int fd = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }

    std::string m_target;
    std::string m_folder;
    std::string m_path;
    int m_fd = -1;
};

} // namespace

std::unique_ptr<ReplacementFile> openReplacementFile(const std::string& target) {
    if (target.empty()) {
        raise(err::FileNotFound);
    }
    const std::optional<struct stat> existing = existingTarget(target);
    if (existing) {
        refuseUnlessReplaceable(target, *existing);
    }
    return std::make_unique<PosixReplacementFile>(target, existing);
}

} // namespace ostrevan
