#pragma once

#include <cstddef>
#include <functional>

namespace ostrevan {

// Runs body to its end on a thread of its own with a stack of stackBytes, and returns or
// throws what body did. For libraries that recurse as deep as their input is long. Raises
// 7 when no such thread can be had.
void runWithStack(std::size_t stackBytes, const std::function<void()>& body);

} // namespace ostrevan
