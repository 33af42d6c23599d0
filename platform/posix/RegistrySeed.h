#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ostrevan {

// One value a new store starts with, under HKEY_CLASSES_ROOT; texts are Windows-1252 with
// their terminating NUL.
struct SeedValue {
    std::string key;
    std::string name;
    std::uint32_t type = 0;
    std::string data;
};

// The file associations of the Solid Edge document types as the CAD system's setup writes
// them: extension -> class (with a content type where one fits) -> description and icon.
std::vector<SeedValue> solidEdgeFileTypes();

} // namespace ostrevan
