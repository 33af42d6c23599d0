#pragma once

#include "platform/FileSystem.h"

#include <memory>
#include <string>

namespace ostrevan {

// OpenTextFile on a Windows file (any path length), shared for reading and writing with
// other programs. ForWriting writes a new file that replaces the old one at Close
// (openReplacementFile); a stream destroyed before Close leaves the old file as it was. Raises 5
// for a bad mode or format, 53 for a missing file, 76 for a missing folder, 70 where access is
// denied or another program holds the file locked.
std::unique_ptr<TextStream> openWin32TextStream(const std::string& path, int ioMode, bool create,
                                                int format);

} // namespace ostrevan
