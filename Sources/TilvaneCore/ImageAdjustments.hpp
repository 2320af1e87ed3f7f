#pragma once

#include "TilvaneCore/JsonCoding.hpp"

#include <array>
#include <cstdint>

namespace tilvane {

// Exposure (in stops), contrast and gamma applied to every block before it is mapped to a palette.
struct ImageAdjustments {
    float exposure = 0;  // valid −2...2
    float contrast = 1;  // valid 0.5...1.5
    float gamma = 1;     // valid 0.5...2

    // All three finite and inside their ranges, bounds included.
    bool isValid() const noexcept;
    // Exactly (0, 1, 1); −0 counts as 0.
    bool isNeutral() const noexcept;
    // The tone curve: entry i is what the channel value i becomes.
    std::array<std::uint8_t, 256> lookupTable() const noexcept;

    friend bool operator==(const ImageAdjustments&, const ImageAdjustments&) = default;
};

// JSON: {"exposure": …, "contrast": …, "gamma": …}, all three required.
template <typename Json>
void to_json(Json& value, const ImageAdjustments& adjustments)
{
    // Every field is encoded before the object is built, so that a refused value leaves nothing half made.
    const double exposure = json::encodeFloat(adjustments.exposure, "exposure");
    const double contrast = json::encodeFloat(adjustments.contrast, "contrast");
    const double gamma = json::encodeFloat(adjustments.gamma, "gamma");
    value = Json::object();
    value["exposure"] = exposure;
    value["contrast"] = contrast;
    value["gamma"] = gamma;
}

template <typename Json>
void from_json(const Json& value, ImageAdjustments& adjustments)
{
    json::requireObject(value, "Os ajustes");
    const auto field = [&](const char* key) { return json::toFloat(json::requiredMember(value, key), key); };
    adjustments = ImageAdjustments{field("exposure"), field("contrast"), field("gamma")};
}

}  // namespace tilvane
