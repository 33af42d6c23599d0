#pragma once

#include <functional>
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

// Replaces the file at path (a symbolic link: the file it points to) by bytes: a temporary
// file in the same folder is written, flushed to disk, given the old file's permissions and
// renamed over it. false, with the old file as it was and no temporary file left, when a
// step fails or the old file is not writable; a missing file is created.
bool replaceProfileFile(const std::string& path, std::string_view bytes,
                        const BeforeReplace& beforeReplace);

} // namespace ostrevan
