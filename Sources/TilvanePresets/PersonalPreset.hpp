#pragma once

#include "TilvaneCore/Uuid.hpp"
#include "TilvanePresets/VisualSettings.hpp"

#include <nlohmann/json.hpp>

#include <string>

namespace tilvane {

// A look the user saved under a name of their own. No rule is applied to the name here.
struct PersonalPreset {
    Uuid id;
    std::string name;
    VisualSettings visual;

    friend bool operator==(const PersonalPreset&, const PersonalPreset&) = default;

    // "id" (36-character UUID text), "name" and "visual", all required. Does not validate.
    // Throws json::DecodingError.
    static PersonalPreset fromJson(const nlohmann::json& object);
};

// The id in upper case. Throws json::EncodingError for a NaN or infinite float.
nlohmann::json toJson(const PersonalPreset& preset);

}  // namespace tilvane
