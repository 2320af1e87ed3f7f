#pragma once

// Looks and presets that the presets tests build on.

#include "TilvanePresets/PersonalPreset.hpp"

#include <string>

namespace tilvane::testing {

// A valid look on a built-in palette, without shader or custom colours.
inline VisualSettings plainSettings()
{
    VisualSettings settings;
    settings.paletteID = "gameboy";
    settings.pixelSize = 8;
    return settings;
}

// A valid look that uses every field, with floats that have no short binary form.
inline VisualSettings fullSettings()
{
    ShaderConfiguration shader;
    shader.passes.emplace_back("crt", 0.7f, ShaderPass::Settings{{"scanLinesStrength", 0.1f}, {"bloomSpread", 1e-7f}},
                               true);
    shader.passes.emplace_back("realisticPhosphor", 1.0f / 3.0f, ShaderPass::Settings{}, false);
    shader.motion = true;
    shader.bezel = BezelSettings{true, 0.3f, 2.9f, "#A0b1C2", 0.45f};

    VisualSettings settings;
    settings.paletteID = "custom";
    settings.pixelSize = 40;
    settings.dither = DitherMode::floydSteinberg;
    settings.shader = shader;
    settings.screen = ScreenSettings{0.35f, 0.1f, 1.0f};
    settings.customColors = std::vector<RGBColor>{{16, 24, 32}, {255, 243, 176}, {0, 0, 0}};
    settings.adjustments = ImageAdjustments{-1.3f, 0.55f, 1.9f};
    return settings;
}

inline PersonalPreset makePreset(const std::string& name, VisualSettings visual = plainSettings())
{
    return PersonalPreset{Uuid::random(), name, std::move(visual)};
}

}  // namespace tilvane::testing
