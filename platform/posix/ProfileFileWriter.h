#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ostrevan {

// Called with the temporary file's path once it holds the new contents, just before it takes
// the file's place; returning false stops the write there, as a crash or a full disk would.
using BeforeReplace = std::function<bool(const std::string& temporaryPath)>;

// An INI file's bytes, or why there are none.
struct ProfileFileContents {
    enum class State { Read, Missing, Unreadable };
    State state = State::Missing;
    std::string bytes;
};

// Missing when nothing is there; Unreadable for a folder, a file without read permission or
// a read error.
ProfileFileContents readProfileFile(const std::string& path);

// Whether the folder that holds (or would hold) the file at path exists.
bool profileFolderExists(const std::string& path);

// The file a write to path changes: path itself, or the file a symbolic link points to;
// nothing when the link cannot be followed.
std::optional<std::string> profileWriteTarget(const std::string& path);

// Serialises the writers of the INI files in one folder, across processes: an exclusive
// flock on the folder, held from reading a file to the rename of its new contents, so that
// every write that reports success is in the file afterwards. Once held, temporary files
// that a killed writer left for this file are removed. Readers need no lock: a file is only
// ever replaced as a whole.
class ProfileWriteLock final {
public:
    // target: the file to be written (see profileWriteTarget).
    explicit ProfileWriteLock(const std::string& target);
    ~ProfileWriteLock();
    ProfileWriteLock(const ProfileWriteLock&) = delete;
    ProfileWriteLock& operator=(const ProfileWriteLock&) = delete;

    // false when the folder cannot be opened or locked.
    bool held() const { return m_folder >= 0; }

private:
    int m_folder = -1;
};

// Replaces the file target (see profileWriteTarget) by bytes: a temporary file in the same
// folder is written, flushed to disk, given the old file's permissions and renamed over it.
// false, with the old file as it was and no temporary file left, when a step fails or the
// old file is read-only (by its mode bits, for root too) or not writable; a missing file is
// created.
bool replaceProfileFile(const std::string& target, std::string_view bytes,
                        const BeforeReplace& beforeReplace);

} // namespace ostrevan
