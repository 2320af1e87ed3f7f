#include "TilvaneShaders/Model/ShaderPreset.hpp"

#include "TilvaneCore/JsonCoding.hpp"

namespace tilvane {

ShaderPreset ShaderPreset::fromJson(const nlohmann::json& object)
{
    json::requireObject(object, "O preset de shader");
    return ShaderPreset{json::toString(json::requiredMember(object, "id"), "id"),
                        json::toString(json::requiredMember(object, "name"), "name"),
                        passesFromJson(json::requiredMember(object, "passes")),
                        BezelSettings::fromJson(json::requiredMember(object, "bezel"))};
}

}  // namespace tilvane
