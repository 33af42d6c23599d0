#pragma once

#include <cstdint>

namespace ostrevan {

// ExpandEnvironmentStrings over the process environment: %NAME% becomes the variable's value
// (names compare without regard to case when no exact match exists); unknown names and a
// single % stay as they are. Texts are Windows-1252. Returns the characters needed with the
// terminator; writes at most size - 1 of them and a terminator.
std::uint32_t expandEnvironmentStrings(const char* source, char* target, std::uint32_t size);

} // namespace ostrevan
