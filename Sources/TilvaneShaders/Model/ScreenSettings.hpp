#pragma once

#include "TilvaneShaders/Model/ShaderConfiguration.hpp"

#include <nlohmann/json.hpp>

#include <optional>

namespace tilvane {

// The screen-wide scanlines and glow drawn over the picture after the effect passes. The members'
// initial values are the neutral settings, which draw nothing.
struct ScreenSettings {
    float scanlineStrength = 0;
    float scanlineThickness = 0.5f;
    float glowStrength = 0;

    friend bool operator==(const ScreenSettings&, const ScreenSettings&) = default;

    // Whether an active pass (on, intensity above 0) of the configuration draws its own scanlines / glow.
    static bool shaderProvidesScanlines(const std::optional<ShaderConfiguration>& configuration);
    static bool shaderProvidesGlow(const std::optional<ShaderConfiguration>& configuration);

    // 0 where the configuration provides the effect itself, else the stored strength.
    float effectiveScanlineStrength(const std::optional<ShaderConfiguration>& configuration) const;
    float effectiveGlowStrength(const std::optional<ShaderConfiguration>& configuration) const;

    // Whether the screen-wide pass draws anything with this configuration.
    bool applies(const std::optional<ShaderConfiguration>& configuration) const;

    // Keys "scanlineStrength" (0), "scanlineThickness" (0.5), "glowStrength" (0); values unclamped.
    // Throws json::DecodingError.
    static ScreenSettings fromJson(const nlohmann::json& object);
};

// All three keys. Throws json::EncodingError for a non-finite float.
nlohmann::json toJson(const ScreenSettings& screen);

}  // namespace tilvane
