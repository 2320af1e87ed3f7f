#pragma once

#include "TilvaneCore/Image.hpp"

#include <array>
#include <cstdint>
#include <functional>

namespace tilvane::testing {

using Pixel = std::array<std::uint8_t, 4>;

// A picture whose straight colour and alpha at (x, y) are pixel(x, y), stored in `mode`.
ImagePointer makePicture(int width, int height, const std::function<Pixel(int x, int y)>& pixel,
                         AlphaMode mode = AlphaMode::premultiplied);

// A reviewer's test card, width × (width × 3 / 4): colour bars, colour ramps, one-, two- and
// four-pixel lines, blocky pixel art, and a top-right corner that fades to transparent.
ImagePointer makeTestCard(int width);

}  // namespace tilvane::testing
