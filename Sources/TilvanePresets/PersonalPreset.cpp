#include "TilvanePresets/PersonalPreset.hpp"

namespace tilvane {

PersonalPreset PersonalPreset::fromJson(const nlohmann::json& object)
{
    json::requireObject(object, "O preset pessoal");
    const std::string idText = json::toString(json::requiredMember(object, "id"), "id");
    const auto id = Uuid::parse(idText);
    if (!id) throw json::DecodingError("\"" + idText + "\" não é um identificador válido.");
    return PersonalPreset{*id, json::toString(json::requiredMember(object, "name"), "name"),
                          VisualSettings::fromJson(json::requiredMember(object, "visual"))};
}

nlohmann::json toJson(const PersonalPreset& preset)
{
    return nlohmann::json{{"id", preset.id.string()}, {"name", preset.name}, {"visual", toJson(preset.visual)}};
}

}  // namespace tilvane
