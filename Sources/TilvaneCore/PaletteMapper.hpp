#pragma once

#include "TilvaneCore/ImagePalette.hpp"
#include "TilvaneCore/NearestColorLookup.hpp"

#include <algorithm>
#include <memory>

namespace tilvane {

// Maps colours to a palette by the palette's mapping rule. Nearest-colour palettes go through the
// bucketed lookup when one is given, else through the linear search; both give the same colour.
// The palette must hold a colour for every mapping but `original`, and two for `blackAndWhite`.
class PaletteMapper {
public:
    PaletteMapper(const ImagePalette& palette, std::shared_ptr<const NearestColorLookup> lookup)
        : palette_(palette), lookup_(std::move(lookup))
    {
    }

    // Calls body(map) once, where map(RGBColor) → RGBColor applies the palette's rule; each rule gets
    // its own instance of the body, so that pixel loops run without a dispatch per pixel.
    template <typename Body>
    void withMapping(Body&& body) const
    {
        const auto& colors = palette_.colors;
        switch (palette_.mapping) {
        case PaletteMapping::original:
            body([](RGBColor color) { return color; });
            return;
        case PaletteMapping::nearestRGB:
            if (lookup_) {
                body([&lookup = *lookup_](RGBColor color) { return lookup.nearest(color); });
            } else {
                body([&colors](RGBColor color) { return nearestByLinearSearch(color, colors); });
            }
            return;
        case PaletteMapping::brightnessBands:
            body([&colors](RGBColor color) {
                const std::size_t brightness = (std::size_t{color.red} + color.green + color.blue) / 3;
                return colors[std::min(brightness * colors.size() / 256, colors.size() - 1)];
            });
            return;
        case PaletteMapping::blackAndWhite:
            body([&colors](RGBColor color) {
                return int{color.red} + color.green + color.blue > 384 ? colors[1] : colors[0];
            });
            return;
        }
    }

private:
    const ImagePalette& palette_;
    std::shared_ptr<const NearestColorLookup> lookup_;
};

}  // namespace tilvane
