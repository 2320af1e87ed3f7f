#include "TilvaneCore/ImageConverter.hpp"

#include "TilvaneCore/AreaResampler.hpp"
#include "TilvaneCore/Bitmap.hpp"
#include "TilvaneCore/NearestColorLookupCache.hpp"
#include "TilvaneCore/PixelGridPasses.hpp"

#include <cstring>
#include <vector>

namespace tilvane {

const char* message(ImageConversionErrorCase errorCase) noexcept
{
    switch (errorCase) {
    case ImageConversionErrorCase::invalidPixelSize:
        return "O tamanho do pixel deve ser maior que zero.";
    case ImageConversionErrorCase::emptyPalette:
        return "A paleta precisa conter ao menos uma cor.";
    case ImageConversionErrorCase::invalidAdjustments:
        return "Exposição, contraste ou gamma fora do intervalo permitido.";
    case ImageConversionErrorCase::bitmapCreationFailed:
        return "Não foi possível criar o bitmap.";
    }
    return "";
}

namespace {

void checkArguments(const ImagePalette& palette, int pixelSize, const ImageAdjustments& adjustments)
{
    if (pixelSize < 1) {
        throw ImageConversionError(ImageConversionErrorCase::invalidPixelSize);
    }
    if (!adjustments.isValid()) {
        throw ImageConversionError(ImageConversionErrorCase::invalidAdjustments);
    }
    if (palette.mapping != PaletteMapping::original
        && (palette.colors.empty()
            || (palette.mapping == PaletteMapping::blackAndWhite && palette.colors.size() == 1))) {
        throw ImageConversionError(ImageConversionErrorCase::emptyPalette);
    }
}

int blocksAlong(int length, int pixelSize) noexcept
{
    return length / pixelSize + (length % pixelSize != 0 ? 1 : 0);
}

Bitmap makeBitmap(int width, int height)
{
    auto bitmap = Bitmap::make(width, height);
    if (!bitmap) {
        throw ImageConversionError(ImageConversionErrorCase::bitmapCreationFailed);
    }
    return std::move(*bitmap);
}

ImagePointer imageOf(Bitmap& bitmap)
{
    auto image = bitmap.takeImage();
    if (!image) {
        throw ImageConversionError(ImageConversionErrorCase::bitmapCreationFailed);
    }
    return image;
}

std::shared_ptr<const NearestColorLookup> lookupFor(const ImagePalette& palette)
{
    if (palette.mapping != PaletteMapping::nearestRGB || palette.colors.size() >= NearestColorLookup::mostColors) {
        return nullptr;
    }
    return NearestColorLookupCache::shared().table(palette);
}

// Source column or row of each destination one, sampled at the destination pixel's centre.
std::vector<int> nearestSources(int sourceLength, int destinationLength)
{
    std::vector<int> sources(static_cast<std::size_t>(destinationLength));
    for (std::int64_t output = 0; output < destinationLength; ++output) {
        sources[static_cast<std::size_t>(output)] =
            static_cast<int>((2 * output + 1) * sourceLength / (2 * static_cast<std::int64_t>(destinationLength)));
    }
    return sources;
}

}  // namespace

ImagePointer ImageConverter::renderPixelGrid(const Image& image, const ImagePalette& palette, int pixelSize,
                                             DitherMode dither, const ImageAdjustments& adjustments,
                                             std::stop_token stopToken) const
{
    checkArguments(palette, pixelSize, adjustments);
    Bitmap bitmap = makeBitmap(blocksAlong(image.width(), pixelSize), blocksAlong(image.height(), pixelSize));
    resampleByAreaAverage(image, bitmap);
    if (!adjustments.isNeutral()) {
        applyToneCurve(bitmap, adjustments, stopToken);
    }
    const PaletteMapper mapper(palette, lookupFor(palette));
    if (palette.mapping != PaletteMapping::original) {
        if (dither == DitherMode::floydSteinberg) {
            diffuseErrors(bitmap, mapper, stopToken);
        } else {
            mapToPalette(bitmap, mapper, dither == DitherMode::bayer4x4, stopToken);
        }
    }
    return imageOf(bitmap);
}

ImagePointer ImageConverter::upscale(const Image& image, int width, int height) const
{
    Bitmap bitmap = makeBitmap(width, height);
    const ImagePointer premultiplied = image.premultiplied();
    const std::vector<int> sourceColumns = nearestSources(image.width(), width);
    const std::vector<int> sourceRows = nearestSources(image.height(), height);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = bitmap.row(y);
        if (y > 0 && sourceRows[y] == sourceRows[y - 1]) {
            std::memcpy(out, out - rowBytes, rowBytes);
            continue;
        }
        const std::uint8_t* in = premultiplied->row(sourceRows[y]);
        for (int x = 0; x < width; ++x) {
            std::memcpy(out + static_cast<std::size_t>(x) * 4, in + static_cast<std::size_t>(sourceColumns[x]) * 4, 4);
        }
    }
    return imageOf(bitmap);
}

ImagePointer ImageConverter::render(const Image& image, const ImagePalette& palette, int pixelSize, DitherMode dither,
                                    const ImageAdjustments& adjustments, std::stop_token stopToken) const
{
    const ImagePointer grid = renderPixelGrid(image, palette, pixelSize, dither, adjustments, stopToken);
    return upscale(*grid, image.width(), image.height());
}

}  // namespace tilvane
