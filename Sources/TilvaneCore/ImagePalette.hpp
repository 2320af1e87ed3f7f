#pragma once

#include "TilvaneCore/RGBColor.hpp"

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tilvane {

// How the colours of a picture are mapped to a palette.
enum class PaletteMapping {
    original,         // keep each colour
    nearestRGB,       // nearest palette colour by RGB distance
    brightnessBands,  // palette colours as brightness bands, darkest first
    blackAndWhite,    // colours 0 and 1, split by a brightness threshold
};

// A palette: its colours in palette order and the rule that maps pictures to them.
// Equal (and hashed) by all four fields.
struct ImagePalette {
    std::string id;
    std::string name;
    std::vector<RGBColor> colors;
    PaletteMapping mapping = PaletteMapping::original;

    friend bool operator==(const ImagePalette&, const ImagePalette&) = default;

    // The built-in palettes, each made once on first use.
    static const ImagePalette& original();
    static const ImagePalette& gameBoy();
    static const ImagePalette& nes();
    static const ImagePalette& doom();
    static const ImagePalette& zxSpectrum();
    static const ImagePalette& pico8();
    static const ImagePalette& commodore64();
    static const ImagePalette& cga();
    static const ImagePalette& blackAndWhite();
    static const ImagePalette& grayscale();
    static const ImagePalette& green();
    static const ImagePalette& amber();

    // The twelve built-in palettes in display order; the custom palette is not among them.
    static const std::vector<ImagePalette>& all();
    // The first built-in palette with this id, or nullptr.
    static const ImagePalette* builtIn(std::string_view id);

    // The id that selects the custom palette.
    static constexpr std::string_view customID = "custom";
    // #101820, #335C67, #E09F3E, #FFF3B0.
    static const std::vector<RGBColor>& defaultCustomColors();
    // The custom palette ("Personalizada", nearest RGB) with the given colours, unchecked.
    static ImagePalette custom(std::vector<RGBColor> colors);

    // "#RRGGBB" per colour, upper-case, joined with ", "; empty for no colours.
    static std::string customColorsText(std::span<const RGBColor> colors);
    // 2 to 16 distinct colours written as six hexadecimal digits each, with or without one "#",
    // separated by commas and white space; nothing for any other text.
    static std::optional<std::vector<RGBColor>> parseCustomColors(std::string_view text);
};

}  // namespace tilvane

template <>
struct std::hash<tilvane::ImagePalette> {
    std::size_t operator()(const tilvane::ImagePalette& palette) const noexcept
    {
        std::size_t value = std::hash<std::string>{}(palette.id);
        const auto combine = [&value](std::size_t next) {
            value ^= next + 0x9e3779b97f4a7c15ULL + (value << 6) + (value >> 2);
        };
        combine(std::hash<std::string>{}(palette.name));
        combine(palette.colors.size());
        for (const auto& color : palette.colors) {
            combine(std::hash<tilvane::RGBColor>{}(color));
        }
        combine(static_cast<std::size_t>(palette.mapping));
        return value;
    }
};
