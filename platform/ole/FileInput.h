#pragma once

#include "platform/ole/GObjectPtr.h"

#include <gsf/gsf-input.h>

#include <cstdint>
#include <string>

namespace ostrevan {

// A libgsf input over a file opened read-only: never a writable handle, the access time left
// alone where the system allows it, reads only of the pages that hold the bytes asked for.
// Raises 53 (missing), 70 (no permission), 76 (a folder on the way is missing) and 321 for
// what is not a regular file (folders, devices, pipes: a pipe would block the reader).
GObjectPtr<GsfInput> openFileInput(const std::string& path);

// The bytes an input made by openFileInput has read from its file so far.
std::uint64_t fileInputBytesRead(GsfInput* input);

} // namespace ostrevan
