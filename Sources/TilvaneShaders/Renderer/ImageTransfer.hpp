#pragma once

#include "TilvaneShaders/Renderer/GlTexture.hpp"

#include "TilvaneCore/Image.hpp"

#include <cstdint>
#include <vector>

namespace tilvane {

// What colour the shaders see for a pixel that is not fully opaque.
enum class UploadColour {
    straight,   // the pixel's own colour; its alpha is applied once at read-back
    overBlack,  // the colour composited over black, for a result made opaque (behind a bezel)
};

// Fills the texture (of the picture's size) with the picture's RGBA bytes as the shaders must
// see them. Fully transparent pixels are black either way, so colours hidden under alpha 0
// never show or bleed into their neighbours. Rows that need no change go up straight from the
// picture; only the others are converted, a few rows at a time, so no copy of the whole
// picture is ever made.
void uploadPicture(GlTexture& texture, const Image& image, UploadColour colour);

// The rendered bytes as a premultiplied image: with `alphaSource`, each pixel takes that
// picture's alpha and its colour is multiplied by it, once; without, every pixel is opaque.
ImagePointer premultipliedResult(int width, int height, std::vector<std::uint8_t> rendered, const Image* alphaSource);

}  // namespace tilvane
