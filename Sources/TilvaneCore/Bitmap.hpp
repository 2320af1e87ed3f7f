#pragma once

#include "TilvaneCore/Image.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace tilvane {

// The converter's working memory: width × height premultiplied RGBA pixels, rows packed with no
// gap, row 0 at the top, all fully transparent at first. Becomes an Image when the work is done.
class Bitmap {
public:
    // Nothing when a side is below 1, width × height × 4 does not fit, or the memory cannot be had.
    static std::optional<Bitmap> make(int width, int height);

    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }
    std::uint8_t* bytes() noexcept { return pixels_.data(); }
    std::uint8_t* row(int y) noexcept { return pixels_.data() + static_cast<std::size_t>(y) * width_ * 4; }

    // Hands the pixels over to a premultiplied image; the bitmap is left empty.
    ImagePointer takeImage();

private:
    Bitmap(int width, int height, std::vector<std::uint8_t> pixels);

    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;
};

}  // namespace tilvane
