#pragma once

#include "TilvaneCore/Uuid.hpp"

#include <nlohmann/json.hpp>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tilvane {

// One effect pass of a screen: the effect it draws, how strongly, its parameters by key and
// whether it is drawn. Two passes are equal only when their ids are equal too.
struct ShaderPass {
    using Settings = std::map<std::string, float, std::less<>>;

    Uuid id;
    std::string effect;
    float intensity = 1;
    Settings settings;
    bool isOn = true;

    // A new pass with a fresh random id.
    ShaderPass(std::string effect, float intensity, Settings settings, bool isOn);
    ShaderPass(Uuid id, std::string effect, float intensity, Settings settings, bool isOn);

    // Floats compare exactly: NaN equals nothing, 0 equals -0; every settings key counts.
    friend bool operator==(const ShaderPass&, const ShaderPass&) = default;

    // Keys "id" (absent or null: a new random id), "effect" (required), "intensity" (1),
    // "settings" (empty), "isOn" (true). Throws json::DecodingError.
    static ShaderPass fromJson(const nlohmann::json& object);
};

// All five keys, the id in upper case. Throws json::EncodingError for a non-finite float.
nlohmann::json toJson(const ShaderPass& pass);

// A JSON array of pass objects, in order. Throws json::DecodingError.
std::vector<ShaderPass> passesFromJson(const nlohmann::json& array);
nlohmann::json toJson(const std::vector<ShaderPass>& passes);

}  // namespace tilvane
