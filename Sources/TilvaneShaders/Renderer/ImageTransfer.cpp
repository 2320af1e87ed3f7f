#include "TilvaneShaders/Renderer/ImageTransfer.hpp"

#include <algorithm>
#include <span>

namespace tilvane {
namespace {

// Rows converted per upload call: small enough to stay in cache, large enough that the calls
// do not add up.
constexpr int convertedBandRows = 32;

// Whether a pixel already is what the shaders must see.
bool pixelUploadsUnchanged(const std::uint8_t* pixel, bool premultiplied, UploadColour colour)
{
    const std::uint8_t alpha = pixel[3];
    if (alpha == 255) {
        return true;
    }
    if (alpha == 0) {
        return (pixel[0] | pixel[1] | pixel[2]) == 0;  // transparent pixels go up black either way
    }
    // Premultiplied colour is the picture over black already; straight colour is what the
    // shaders take otherwise.
    return premultiplied == (colour == UploadColour::overBlack);
}

bool rowUploadsUnchanged(std::span<const std::uint8_t> row, bool premultiplied, UploadColour colour)
{
    for (std::size_t i = 0; i < row.size(); i += 4) {
        if (!pixelUploadsUnchanged(&row[i], premultiplied, colour)) {
            return false;
        }
    }
    return true;
}

void convertRow(std::span<const std::uint8_t> row, std::uint8_t* out, bool premultiplied, UploadColour colour)
{
    for (std::size_t i = 0; i < row.size(); i += 4) {
        std::copy_n(&row[i], 4, &out[i]);
        if (pixelUploadsUnchanged(&row[i], premultiplied, colour)) {
            continue;
        }
        const std::uint32_t alpha = row[i + 3];
        for (std::size_t channel = 0; channel < 3; ++channel) {
            const std::uint8_t value = row[i + channel];
            out[i + channel] = alpha == 0 ? 0 : premultiplied ? unpremultiply(value, alpha) : premultiply(value, alpha);
        }
    }
}

}  // namespace

void uploadPicture(GlTexture& texture, const Image& image, UploadColour colour)
{
    const bool premultiplied = image.alphaMode() == AlphaMode::premultiplied;
    const std::size_t rowBytes = image.bytesPerRow();
    std::vector<std::uint8_t> band;
    int bandStart = 0;
    int bandRows = 0;
    bool bandConverted = false;
    const auto flush = [&] {
        if (bandRows > 0) {
            texture.upload(bandConverted ? std::span<const std::uint8_t>(band)
                                         : image.bytes().subspan(rowBytes * static_cast<std::size_t>(bandStart),
                                                                 rowBytes * static_cast<std::size_t>(bandRows)),
                           bandStart, bandRows);
        }
        band.clear();
        bandStart += bandRows;
        bandRows = 0;
    };
    for (int y = 0; y < image.height(); ++y) {
        const std::span<const std::uint8_t> row(image.row(y), rowBytes);
        const bool converted = !rowUploadsUnchanged(row, premultiplied, colour);
        if (bandRows > 0 && (converted != bandConverted || (converted && bandRows == convertedBandRows))) {
            flush();
        }
        bandConverted = converted;
        if (converted) {
            band.resize(band.size() + rowBytes);
            convertRow(row, band.data() + band.size() - rowBytes, premultiplied, colour);
        }
        ++bandRows;
    }
    flush();
}

ImagePointer premultipliedResult(int width, int height, std::vector<std::uint8_t> rendered, const Image* alphaSource)
{
    if (alphaSource == nullptr) {
        for (std::size_t i = 3; i < rendered.size(); i += 4) {
            rendered[i] = 255;
        }
        return Image::make(width, height, std::move(rendered), AlphaMode::premultiplied);
    }
    const auto source = alphaSource->bytes();
    for (std::size_t i = 0; i < rendered.size(); i += 4) {
        const std::uint32_t alpha = source[i + 3];
        rendered[i + 3] = static_cast<std::uint8_t>(alpha);
        if (alpha == 255) {
            continue;
        }
        for (std::size_t channel = 0; channel < 3; ++channel) {
            rendered[i + channel] = premultiply(rendered[i + channel], alpha);
        }
    }
    return Image::make(width, height, std::move(rendered), AlphaMode::premultiplied);
}

}  // namespace tilvane
