#pragma once

#include "TilvaneShaders/Model/BezelSettings.hpp"
#include "TilvaneShaders/Model/ShaderPass.hpp"
#include "TilvaneShaders/Model/ShaderPreset.hpp"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <vector>

namespace tilvane {

// How a configuration made from a preset starts, named at the call site: `fromPreset(preset, {.motion = true})`.
struct PresetStart {
    bool motion = false;
};

// The active screen setup: the user's editable copy of a preset and whether it is animated.
struct ShaderConfiguration {
    std::vector<ShaderPass> passes;
    bool motion = false;
    BezelSettings bezel;

    // More passes than any preset the application makes comes near (the built-in ones hold one or two). Every pass
    // costs the renderer its own work and textures, so a look with more is invalid (VisualSettings::validate()).
    static constexpr std::size_t maximumPassCount = 16;

    // The preset's passes (keeping their ids) and bezel, still unless asked to move.
    static ShaderConfiguration fromPreset(const ShaderPreset& preset, PresetStart start = {});

    // Same passes in the same order (ids included), same motion, same bezel.
    friend bool operator==(const ShaderConfiguration&, const ShaderConfiguration&) = default;

    // "passes", "motion" and "bezel" are all required. Throws json::DecodingError.
    static ShaderConfiguration fromJson(const nlohmann::json& object);
};

// Throws json::EncodingError for a non-finite float.
nlohmann::json toJson(const ShaderConfiguration& configuration);

}  // namespace tilvane
