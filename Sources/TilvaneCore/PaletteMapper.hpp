#pragma once

#include "TilvaneCore/ImagePalette.hpp"
#include "TilvaneCore/NearestColorLookup.hpp"

#include <algorithm>
#include <memory>

namespace tilvane {

// Maps one colour to a palette by the palette's mapping rule. Nearest-colour palettes go through
// the bucketed lookup when one is given, else through the linear search; both give the same colour.
// The palette must hold a colour for every mapping but `original`, and two for `blackAndWhite`.
class PaletteMapper {
public:
    PaletteMapper(const ImagePalette& palette, std::shared_ptr<const NearestColorLookup> lookup)
        : palette_(palette), lookup_(std::move(lookup))
    {
    }

    RGBColor mapped(RGBColor color) const noexcept
    {
        const auto& colors = palette_.colors;
        switch (palette_.mapping) {
        case PaletteMapping::original:
            return color;
        case PaletteMapping::nearestRGB:
            return lookup_ ? lookup_->nearest(color) : nearestByLinearSearch(color, colors);
        case PaletteMapping::brightnessBands: {
            const std::size_t brightness = (std::size_t{color.red} + color.green + color.blue) / 3;
            return colors[std::min(brightness * colors.size() / 256, colors.size() - 1)];
        }
        case PaletteMapping::blackAndWhite:
            return int{color.red} + color.green + color.blue > 384 ? colors[1] : colors[0];
        }
        return color;
    }

private:
    const ImagePalette& palette_;
    std::shared_ptr<const NearestColorLookup> lookup_;
};

}  // namespace tilvane
