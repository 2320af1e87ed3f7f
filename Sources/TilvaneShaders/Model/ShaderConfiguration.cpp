#include "TilvaneShaders/Model/ShaderConfiguration.hpp"

#include "TilvaneCore/JsonCoding.hpp"

namespace tilvane {

ShaderConfiguration ShaderConfiguration::fromPreset(const ShaderPreset& preset, PresetStart start)
{
    return ShaderConfiguration{preset.passes, start.motion, preset.bezel};
}

ShaderConfiguration ShaderConfiguration::fromJson(const nlohmann::json& object)
{
    json::requireObject(object, "A configuração do shader");
    return ShaderConfiguration{passesFromJson(json::requiredMember(object, "passes")),
                               json::toBool(json::requiredMember(object, "motion"), "motion"),
                               BezelSettings::fromJson(json::requiredMember(object, "bezel"))};
}

nlohmann::json toJson(const ShaderConfiguration& configuration)
{
    return {
        {"passes", toJson(configuration.passes)},
        {"motion", configuration.motion},
        {"bezel", toJson(configuration.bezel)},
    };
}

}  // namespace tilvane
