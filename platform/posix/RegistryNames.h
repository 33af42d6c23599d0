#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevan {

// Key and value names compare by their Windows-1252 upper case (ä = Ä); a letter whose upper
// case the code page cannot hold (µ, ß) stays as it is.
std::string foldRegistryName(std::string_view windows1252);

// Windows' limits: a key name (one level) of 255 characters, keys at most 512 levels below
// their root, value names of 16,383 characters.
inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxKeyDepth = 512;
inline constexpr std::size_t kMaxValueNameLength = 16383;

// Appends the levels of a key path (Windows-1252) to *levels, as Windows reads the path:
// separators at its end are ignored. 0; 161 when the path begins with a separator; 87 for
// an empty level inside it or a level longer than kMaxKeyNameLength.
std::int32_t splitKeyPath(std::string_view path, std::vector<std::string>* levels);

} // namespace ostrevan
