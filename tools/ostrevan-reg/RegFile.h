#pragma once

#include "tools/ostrevan-reg/RegKeys.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevan::regtool {

// The REGEDIT4 text (Windows-1252, CR LF) of a key and everything below it.
std::int32_t exportKeys(RegistryFunctions& registry, const KeyPath& key, std::string* file);

// One step of an import: a key to create, and possibly a value to write or delete in it.
struct ImportStep {
    KeyPath key;
    std::optional<Value> value;
    bool deletesValue = false;
    int line = 0; // where the file says it, from 1
};

struct ImportPlan {
    std::vector<ImportStep> steps;
    std::string error; // German, with the line; empty when the file is sound
};

// Reads a REGEDIT4 file (Windows-1252) or a "Windows Registry Editor Version 5.00" file
// (UTF-16LE as Windows writes it, or UTF-8). Nothing is written; a file with any fault,
// a name beyond the registry's limits included, gives only the error.
ImportPlan parseRegFile(std::string_view bytes);

} // namespace ostrevan::regtool
