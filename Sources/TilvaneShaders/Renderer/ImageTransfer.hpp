#pragma once

#include "TilvaneCore/Image.hpp"

#include <cstdint>
#include <vector>

namespace tilvane {

// Whether the picture's colours must be un-premultiplied before the shaders see them: it is
// premultiplied and not fully opaque.
bool needsUnpremultiplying(const Image& image);

// The picture's RGBA bytes with straight alpha, as the shaders expect them: a premultiplied
// image is un-premultiplied once here (a fully transparent pixel becomes transparent black).
std::vector<std::uint8_t> straightPixels(const Image& image);

// The rendered bytes as a premultiplied image: with `alphaSource`, each pixel takes that
// picture's alpha and its colour is multiplied by it, once; without, every pixel is opaque.
ImagePointer premultipliedResult(int width, int height, std::vector<std::uint8_t> rendered, const Image* alphaSource);

}  // namespace tilvane
