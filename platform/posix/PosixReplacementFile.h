#pragma once

#include "platform/ReplacementFile.h"

#include <memory>
#include <string>

namespace ostrevan {

// Starts replacing the file at target. The new file is created exclusively, never through a
// symbolic link, beside the target; an existing target keeps its permissions. An existing
// target that is no regular file is not replaced: 70 for a folder, 75 for anything else (a
// symbolic link, a pipe, a device). Raises 70 as well when the target or its folder may not
// be written, 76 when the folder does not exist.
std::unique_ptr<ReplacementFile> openReplacementFile(const std::string& target);

} // namespace ostrevan
