#pragma once

#include "platform/ole/Moniker.h"

#include <cstdint>
#include <optional>
#include <span>

namespace ostrevan {

// The content of an object's "\x01Ole" stream, as far as a link lister needs it: an
// OLEStream, or the link layout of Solid Edge's own link sites.
struct OleObject {
    enum class Kind { Embedded, Linked, Damaged };
    Kind kind = Kind::Damaged;
    // Linked only. The relative moniker may be missing or unusable; the absolute one is always
    // there for a linked object.
    std::optional<MonikerTarget> relative;
    std::optional<MonikerTarget> absolute;
};

// Never fails: bytes that fit neither layout give Kind::Damaged.
OleObject parseOleStream(std::span<const std::uint8_t> bytes);

} // namespace ostrevan
