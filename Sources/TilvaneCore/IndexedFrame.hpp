#pragma once

#include "TilvaneCore/Image.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace tilvane {

// One picture as a GIF stores it: at most 256 colours and one-bit transparency.
struct IndexedFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> palette;             // red, green, blue triplets; a power of two from 2 to 256 entries
    std::vector<std::uint8_t> indices;             // one palette index per pixel, row 0 first
    std::optional<std::uint8_t> transparentIndex;  // present unless 256 opaque colours fill the palette
};

// A pixel at least half opaque keeps its own colour (premultiplied input is unpremultiplied
// first); a pixel less than half opaque becomes transparent. When the resulting colours fit in
// the palette they are kept exactly; otherwise libimagequant chooses 255 and dithers.
// Throws std::bad_alloc, or std::runtime_error when the reduction fails.
IndexedFrame indexFrame(const Image& image);

// From now on, colours reduced on the calling thread are reduced by it alone: libimagequant's
// OpenMP team otherwise takes every core for each frame and keeps them spinning between its steps,
// against whatever else runs. The result is the same either way. For threads that reduce frames
// side by side; other threads keep the team.
void reduceColoursOnThisThreadAlone() noexcept;

// Gives a frame whose 256 opaque colours fill the palette a transparent entry, by drawing the
// pixels of one of its two closest colours with the other. Other frames are left as they are.
void freeTransparentEntry(IndexedFrame& frame);

}  // namespace tilvane
