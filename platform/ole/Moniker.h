#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace ostrevan {

// A class id in the packet form in which compound files store it.
using Clsid = std::array<std::uint8_t, 16>;

// {00000303-0000-0000-C000-000000000046}
constexpr Clsid kFileMonikerClsid = {0x03, 0x03, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};

// What a link's source moniker names, flattened from file, item, anti, composite and URL
// monikers.
struct MonikerTarget {
    // UTF-8, separators as stored (a Windows path, usually). Leading "..\" steps are not part
    // of it: they are counted in upLevels, whether the writer stored them in cAnti or in the
    // path. A URL other than file: is kept here as text.
    std::string path;
    // Components to drop from the container's full path before path applies; the first drop
    // removes the container's own file name, so 1 means "next to the container".
    std::int32_t upLevels = 0;
    // Item parts after the file, e.g. "!Tabelle1" or a family member; not part of the path.
    std::string item;
    bool isUrl = false;
    // The file moniker carried a Unicode path record (the ANSI path was not used).
    bool unicodePart = false;

    // The display form: "..\" for each level, then the path and the item parts.
    std::string displayName() const;
};

class ByteReader;

// Reads one MONIKERSTREAM (class id + the class's saved data) from reader, which is left
// right after it: a moniker knows its own length. Nothing, and a failed reader, for bytes
// that do not hold a complete moniker of a supported class.
std::optional<MonikerTarget> readMoniker(ByteReader& reader);

// Parses a MONIKERSTREAM (class id + the class's saved data) as a link's source. Nothing for
// bytes that do not hold a complete moniker of a supported class.
std::optional<MonikerTarget> parseMoniker(std::span<const std::uint8_t> monikerStream);

} // namespace ostrevan
