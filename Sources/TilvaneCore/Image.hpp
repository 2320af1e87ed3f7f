#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace tilvane {

// How the colour channels of an image relate to its alpha channel.
enum class AlphaMode {
    premultiplied,  // red, green and blue are already multiplied by alpha
    straight,       // red, green and blue are independent of alpha
};

// An immutable picture: 8-bit RGBA, rows packed with no gap, row 0 at the top.
// Images are shared by pointer and never change once made.
class Image : public std::enable_shared_from_this<Image> {
public:
    // Bytes needed for width × height RGBA pixels, or nothing when a side is below 1
    // or the count does not fit in memory.
    static std::optional<std::size_t> byteCount(int width, int height) noexcept;

    // Takes ownership of the pixels; nothing when the sizes are invalid or
    // pixels.size() differs from byteCount(width, height).
    static std::shared_ptr<const Image> make(int width, int height, std::vector<std::uint8_t> pixels,
                                             AlphaMode alphaMode = AlphaMode::premultiplied);

    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }
    std::size_t bytesPerRow() const noexcept { return static_cast<std::size_t>(width_) * 4; }
    AlphaMode alphaMode() const noexcept { return alphaMode_; }

    std::span<const std::uint8_t> bytes() const noexcept { return pixels_; }
    const std::uint8_t* row(int y) const noexcept
    {
        return pixels_.data() + bytesPerRow() * static_cast<std::size_t>(y);
    }
    const std::uint8_t* pixel(int x, int y) const noexcept { return row(y) + static_cast<std::size_t>(x) * 4; }

    // The same picture with premultiplied channels; this image itself when it already is.
    std::shared_ptr<const Image> premultiplied() const;

    Image(int width, int height, std::vector<std::uint8_t> pixels, AlphaMode alphaMode);

private:
    int width_;
    int height_;
    AlphaMode alphaMode_;
    std::vector<std::uint8_t> pixels_;
};

using ImagePointer = std::shared_ptr<const Image>;

// Integer premultiplication with rounding, shared by every pixel loop of the project.
inline std::uint8_t premultiply(std::uint32_t channel, std::uint32_t alpha) noexcept
{
    return static_cast<std::uint8_t>((channel * alpha + 127) / 255);
}

inline std::uint8_t unpremultiply(std::uint32_t channel, std::uint32_t alpha) noexcept
{
    const std::uint32_t value = (channel * 255 + alpha / 2) / alpha;
    return static_cast<std::uint8_t>(value > 255 ? 255 : value);
}

}  // namespace tilvane
