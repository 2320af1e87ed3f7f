#pragma once

#include "TilvaneShaders/Model/BezelSettings.hpp"
#include "TilvaneShaders/Model/ShaderPass.hpp"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace tilvane {

// A built-in screen preset, identified by `id`. Read from the module's resources, never written.
struct ShaderPreset {
    std::string id;
    std::string name;
    std::vector<ShaderPass> passes;
    BezelSettings bezel;

    // "id", "name", "passes" and "bezel" are all required. Throws json::DecodingError.
    static ShaderPreset fromJson(const nlohmann::json& object);

    // The presets of the application's shader bundle, in the file's order, read once per process
    // (safely against concurrent first use). Empty when the resource is missing or malformed.
    static const std::vector<ShaderPreset>& builtIn();
};

}  // namespace tilvane
