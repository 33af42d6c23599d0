#pragma once

#include <cstdint>

namespace ostrevan {

// FormatMessage from the system's (German) message table. Sets *lastError when it stores
// nothing: 317 no text for the code, 87 a text with inserts but no arguments, 122 a buffer too
// small for the text and its terminator.
std::uint32_t formatSystemMessage(std::uint32_t flags, std::uint32_t messageId, char* buffer,
                                  std::uint32_t size, const void* arguments,
                                  std::uint32_t* lastError);

} // namespace ostrevan
