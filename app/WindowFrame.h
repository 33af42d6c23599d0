#pragma once

namespace ostrevan {

// The frame of a fixed-border window with a title bar, in twips: the design's outer size is
// the client size plus this, and windows are centred by their outer size.
inline constexpr double kFrameWidth = 90;
inline constexpr double kFrameHeight = 405;

} // namespace ostrevan
