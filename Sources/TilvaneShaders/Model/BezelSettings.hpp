#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace tilvane {

// The monitor frame drawn around the picture. The members' initial values are those a stored
// bezel takes for absent keys.
struct BezelSettings {
    bool isOn = false;
    float depth = 0.5f;
    float curvature = 1;
    std::string color = "#161718";  // "#" and six hexadecimal digits: red, green, blue
    float reflectionSoftness = 0.5f;

    // Exact: floats as numbers, the colour text byte for byte (case matters).
    friend bool operator==(const BezelSettings&, const BezelSettings&) = default;

    // Keys "isOn", "depth", "curvature", "color", "reflectionSoftness", each optional.
    // Throws json::DecodingError.
    static BezelSettings fromJson(const nlohmann::json& object);
};

// All five keys. Throws json::EncodingError for a non-finite float.
nlohmann::json toJson(const BezelSettings& bezel);

}  // namespace tilvane
