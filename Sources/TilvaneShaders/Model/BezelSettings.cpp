#include "TilvaneShaders/Model/BezelSettings.hpp"

#include "TilvaneCore/JsonCoding.hpp"

namespace tilvane {

BezelSettings BezelSettings::fromJson(const nlohmann::json& object)
{
    json::requireObject(object, "A moldura");
    BezelSettings bezel;
    if (const auto* isOn = json::optionalMember(object, "isOn")) bezel.isOn = json::toBool(*isOn, "isOn");
    if (const auto* depth = json::optionalMember(object, "depth")) bezel.depth = json::toFloat(*depth, "depth");
    if (const auto* curvature = json::optionalMember(object, "curvature")) {
        bezel.curvature = json::toFloat(*curvature, "curvature");
    }
    if (const auto* color = json::optionalMember(object, "color")) bezel.color = json::toString(*color, "color");
    if (const auto* softness = json::optionalMember(object, "reflectionSoftness")) {
        bezel.reflectionSoftness = json::toFloat(*softness, "reflectionSoftness");
    }
    return bezel;
}

nlohmann::json toJson(const BezelSettings& bezel)
{
    return {
        {"isOn", bezel.isOn},
        {"depth", json::encodeFloat(bezel.depth, "depth")},
        {"curvature", json::encodeFloat(bezel.curvature, "curvature")},
        {"color", bezel.color},
        {"reflectionSoftness", json::encodeFloat(bezel.reflectionSoftness, "reflectionSoftness")},
    };
}

}  // namespace tilvane
