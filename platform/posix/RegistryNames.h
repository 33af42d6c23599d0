#pragma once

#include <string>
#include <string_view>

namespace ostrevan {

// Key and value names compare by their Windows-1252 upper case (ä = Ä); a letter whose upper
// case the code page cannot hold (µ, ß) stays as it is.
std::string foldRegistryName(std::string_view windows1252);

} // namespace ostrevan
