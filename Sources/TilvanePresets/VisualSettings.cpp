#include "TilvanePresets/VisualSettings.hpp"

#include "TilvanePresets/DocumentCoding.hpp"

#include <cmath>
#include <unordered_set>

namespace tilvane {
namespace {

bool hasValidCustomColors(const std::optional<std::vector<RGBColor>>& colors)
{
    if (!colors) return true;
    if (colors->size() < 2 || colors->size() > 16) return false;
    const std::unordered_set<RGBColor> distinct(colors->begin(), colors->end());
    return distinct.size() == colors->size();
}

bool isUnitInterval(float value)
{
    return value >= 0 && value <= 1;
}  // false for NaN

bool hasValidShader(const std::optional<ShaderConfiguration>& shader)
{
    if (!shader) return true;
    const float curvature = shader->bezel.curvature;
    return shader->passes.size() <= ShaderConfiguration::maximumPassCount && std::isfinite(curvature) && curvature >= 0
           && curvature <= 3;
}

std::vector<RGBColor> colorsFromJson(const nlohmann::json& array)
{
    std::vector<RGBColor> colors;
    for (const auto& element : json::requireArray(array, "customColors")) {
        RGBColor color;
        from_json(element, color);
        colors.push_back(color);
    }
    return colors;
}

}  // namespace

void VisualSettings::validate() const
{
    const bool valid = hasValidCustomColors(customColors) && palette().has_value() && pixelSize >= 2 && pixelSize <= 40
                       && adjustments.isValid() && hasValidShader(shader) && isUnitInterval(screen.scanlineStrength)
                       && isUnitInterval(screen.scanlineThickness) && isUnitInterval(screen.glowStrength);
    if (!valid) throw PersonalPresetError(PersonalPresetErrorCase::invalidData);
}

std::optional<ImagePalette> VisualSettings::palette() const
{
    if (paletteID == ImagePalette::customID) {
        if (!customColors) return std::nullopt;
        return ImagePalette::custom(*customColors);
    }
    if (const ImagePalette* builtIn = ImagePalette::builtIn(paletteID)) return *builtIn;
    return std::nullopt;
}

VisualSettings VisualSettings::fromJson(const nlohmann::json& object)
{
    json::requireObject(object, "As configurações visuais");
    VisualSettings settings;
    settings.paletteID = json::toString(json::requiredMember(object, "paletteID"), "paletteID");
    settings.pixelSize = json::toInteger(json::requiredMember(object, "pixelSize"), "pixelSize");
    if (const auto* dither = json::optionalMember(object, "dither")) from_json(*dither, settings.dither);
    if (const auto* shader = json::optionalMember(object, "shader")) {
        settings.shader = ShaderConfiguration::fromJson(*shader);
    }
    if (const auto* screen = json::optionalMember(object, "screen"))
        settings.screen = ScreenSettings::fromJson(*screen);
    if (const auto* colors = json::optionalMember(object, "customColors"))
        settings.customColors = colorsFromJson(*colors);
    if (const auto* adjustments = json::optionalMember(object, "adjustments")) {
        from_json(*adjustments, settings.adjustments);
    }
    return settings;
}

nlohmann::json toJson(const VisualSettings& settings)
{
    nlohmann::json object = nlohmann::json::object();
    object["paletteID"] = settings.paletteID;
    object["pixelSize"] = settings.pixelSize;
    to_json(object["dither"], settings.dither);
    if (settings.shader) object["shader"] = toJson(*settings.shader);
    object["screen"] = toJson(settings.screen);
    if (settings.customColors) {
        nlohmann::json colors = nlohmann::json::array();
        for (const auto& color : *settings.customColors) to_json(colors.emplace_back(), color);
        object["customColors"] = std::move(colors);
    }
    to_json(object["adjustments"], settings.adjustments);
    return object;
}

}  // namespace tilvane
