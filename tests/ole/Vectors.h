#pragma once

// Reading the recorded vectors in tests/data.

#include "tests/support/Json.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ostrevan::vectors {

using test::Json;

// The cases of a vector file, e.g. "moniker/monikers.json"; raises std::runtime_error when
// it cannot be read.
Json cases(const std::string& relativePath);
// The bytes of a {len, hex, text} buffer.
std::vector<std::uint8_t> bytes(const Json& buffer);
std::string dataPath(const std::string& relativePath);

} // namespace ostrevan::vectors
