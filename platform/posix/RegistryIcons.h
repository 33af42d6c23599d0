#pragma once

#include <cstdint>
#include <string>

namespace ostrevan {

// A positive handle that names this icon file and index for the process's lifetime: the same
// pair always gets the same handle.
std::int32_t iconHandle(const std::string& file, std::int32_t index);

} // namespace ostrevan
