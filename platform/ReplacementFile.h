#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace ostrevan {

// A new version of a file, written as a file of its own in the target's folder and put in the
// target's place only when complete: whatever fails on the way, the target stays as it was.
// Destroying it without commit removes the new file.
class ReplacementFile {
public:
    virtual ~ReplacementFile() = default;
    // Appends bytes. Raises the runtime's error: 61 disk full, 57 device error, ...
    virtual void write(std::string_view bytes) = 0;
    // Brings the bytes to disk and renames the new file over the target. Raises on failure,
    // the target then unchanged; 54 when called a second time.
    virtual void commit() = 0;
};

// Starts replacing the file at target, by the backend of the build. The new file is created
// exclusively, never through a link, beside the target; an existing target keeps its
// permissions. An existing target that is no regular file is not replaced: 70 for a folder, 75
// for anything else (a link, a pipe, a device). Raises 70 as well when the target or its
// folder may not be written, 76 when the folder does not exist.
std::unique_ptr<ReplacementFile> openReplacementFile(const std::string& target);

} // namespace ostrevan
