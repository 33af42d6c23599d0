#pragma once

#include "platform/FileSystem.h"

#include <memory>
#include <string>

namespace ostrevan {

// OpenTextFile on a POSIX file: ioMode io::ForReading, io::ForWriting or io::ForAppending;
// create makes a missing file; format io::TristateFalse or io::TristateUseDefault
// (Windows-1252 bytes) or io::TristateTrue (UTF-16LE with a byte-order mark). ForWriting
// writes a new file that replaces the old one at Close (openReplacementFile); a stream
// destroyed before Close leaves the old file as it was. Raises 5 for a bad mode or format,
// 53 for a missing file, 76 for a missing folder, 70 where access is denied (a folder
// included), 75 for pipes and sockets, which would block, and for writing over anything that
// is not a regular file.
std::unique_ptr<TextStream> openTextStream(const std::string& path, int ioMode, bool create,
                                           int format);

} // namespace ostrevan
