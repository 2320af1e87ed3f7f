#pragma once

#include "TilvaneCore/DitherMode.hpp"
#include "TilvaneCore/ImageAdjustments.hpp"
#include "TilvaneCore/ImagePalette.hpp"
#include "TilvaneCore/RGBColor.hpp"
#include "TilvanePresets/PersonalPresetError.hpp"
#include "TilvaneShaders/Model/ScreenSettings.hpp"
#include "TilvaneShaders/Model/ShaderConfiguration.hpp"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tilvane {

// One complete look of the editor: palette, block size, dithering, optional screen shader,
// screen-wide scanlines and glow, optional custom colours and tonal adjustments.
struct VisualSettings {
    std::string paletteID;  // a built-in palette's id, or ImagePalette::customID
    std::int64_t pixelSize = 0;
    DitherMode dither = DitherMode::none;
    std::optional<ShaderConfiguration> shader;
    ScreenSettings screen;
    std::optional<std::vector<RGBColor>> customColors;
    ImageAdjustments adjustments;

    // Throws PersonalPresetError(invalidData) unless: custom colours, when present, are 2 to 16
    // distinct colours; the palette resolves; pixelSize is 2...40; the adjustments are valid; a
    // shader holds at most ShaderConfiguration::maximumPassCount passes and its bezel curvature is
    // finite and 0...3; each screen value is 0...1.
    void validate() const;

    // The custom palette of customColors for the custom id (nothing without colours), else the
    // built-in palette with exactly this id (case-sensitive), else nothing.
    std::optional<ImagePalette> palette() const;

    // Field by field; floats exactly (NaN equals nothing, -0 equals 0); shaders with their pass ids.
    friend bool operator==(const VisualSettings&, const VisualSettings&) = default;

    // "paletteID" and "pixelSize" are required; "dither", "shader", "screen", "customColors" and
    // "adjustments" take their defaults when absent or null. Does not validate.
    // Throws json::DecodingError.
    static VisualSettings fromJson(const nlohmann::json& object);
};

// "paletteID", "pixelSize", "dither", "screen" and "adjustments" always; "shader" and
// "customColors" only when present. Throws json::EncodingError for a NaN or infinite float.
nlohmann::json toJson(const VisualSettings& settings);

}  // namespace tilvane
