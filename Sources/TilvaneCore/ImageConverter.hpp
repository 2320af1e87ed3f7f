#pragma once

#include "TilvaneCore/DitherMode.hpp"
#include "TilvaneCore/EnumeratedError.hpp"
#include "TilvaneCore/Image.hpp"
#include "TilvaneCore/ImageAdjustments.hpp"
#include "TilvaneCore/ImagePalette.hpp"

#include <stop_token>

namespace tilvane {

enum class ImageConversionErrorCase {
    invalidPixelSize,
    emptyPalette,
    invalidAdjustments,
    bitmapCreationFailed,
};

const char* message(ImageConversionErrorCase errorCase) noexcept;

using ImageConversionError = EnumeratedError<ImageConversionErrorCase>;

// Turns a picture into pixel art: one pixel per square block, through the tone curve and a palette,
// and scales such grids up again without smoothing. Keeps nothing between calls and may be used
// from several threads at once; only the shared nearest-colour lookup cache outlives a call.
class ImageConverter {
public:
    // The block grid of the picture (straight or premultiplied), ⌈width ÷ pixelSize⌉ × ⌈height ÷ pixelSize⌉
    // premultiplied pixels, each block the area average of the picture it covers, through the tone
    // curve and mapped to the palette with the chosen dithering.
    // Throws ImageConversionError (invalidPixelSize, invalidAdjustments, emptyPalette, in that order,
    // before any work; bitmapCreationFailed) or CancellationError, checked at the start of every row
    // of the tone curve and of the mapping.
    ImagePointer renderPixelGrid(const Image& image, const ImagePalette& palette, int pixelSize, DitherMode dither,
                                 const ImageAdjustments& adjustments, std::stop_token stopToken) const;

    // The image redrawn at exactly width × height, premultiplied, every pixel taking the colour of
    // one source pixel (no interpolation). Throws ImageConversionError::bitmapCreationFailed when the
    // size is below 1 or too large. Does not look at cancellation.
    ImagePointer upscale(const Image& image, int width, int height) const;

    // renderPixelGrid, then upscale back to the picture's own size.
    ImagePointer render(const Image& image, const ImagePalette& palette, int pixelSize, DitherMode dither,
                        const ImageAdjustments& adjustments, std::stop_token stopToken) const;
};

}  // namespace tilvane
