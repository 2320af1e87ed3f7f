#pragma once

#include "TilvaneCore/Bitmap.hpp"
#include "TilvaneCore/ImageAdjustments.hpp"
#include "TilvaneCore/PaletteMapper.hpp"

#include <stop_token>

namespace tilvane {

// The passes the converter runs over its block grid, in place. Each checks the stop token at the
// start of every row and throws CancellationError when a stop was requested. Fully transparent
// pixels are left alone; alpha never changes; colours are worked on un-premultiplied.

// Passes every channel through the tone curve of the adjustments.
void applyToneCurve(Bitmap& bitmap, const ImageAdjustments& adjustments, std::stop_token stopToken);

// Maps every pixel on its own, with the 4 × 4 Bayer offsets first when `ordered` is set.
void mapToPalette(Bitmap& bitmap, const PaletteMapper& mapper, bool ordered, std::stop_token stopToken);

// Maps every pixel with Floyd–Steinberg error diffusion, rows top to bottom, each left to right.
void diffuseErrors(Bitmap& bitmap, const PaletteMapper& mapper, std::stop_token stopToken);

}  // namespace tilvane
