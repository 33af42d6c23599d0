#pragma once

// What a compound file holds, as seen by our reader and by libgsf's, in one form that two
// readings can be compared in.

#include "platform/ole/ByteSource.h"

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ostrevan::test {

struct TreeNode {
    bool storage = false;
    // Streams: their bytes, or nothing when the stream could not be read.
    std::optional<std::vector<std::uint8_t>> bytes;
    bool operator==(const TreeNode&) const = default;
};

// By path from the root, names joined with '/'.
using Tree = std::map<std::string, TreeNode>;

// Our reader's view; nothing when it ends the file in 321 (any other error fails the test).
std::optional<Tree> readTree(ByteSource& input);
std::optional<Tree> readTree(std::span<const std::uint8_t> file);

// libgsf's view; nothing when it does not open the file. complained: it warned about the
// file while reading it.
struct LibgsfReading {
    std::optional<Tree> tree;
    bool complained = false;
};
LibgsfReading readTreeWithLibgsf(std::span<const std::uint8_t> file);

// A line per difference, for failure messages.
std::string describeDifferences(const Tree& ours, const Tree& theirs);

} // namespace ostrevan::test
