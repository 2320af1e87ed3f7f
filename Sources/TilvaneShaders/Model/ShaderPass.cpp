#include "TilvaneShaders/Model/ShaderPass.hpp"

#include "TilvaneCore/JsonCoding.hpp"

#include <utility>

namespace tilvane {

ShaderPass::ShaderPass(std::string effect, float intensity, Settings settings, bool isOn)
    : ShaderPass(Uuid::random(), std::move(effect), intensity, std::move(settings), isOn)
{
}

ShaderPass::ShaderPass(Uuid id, std::string effect, float intensity, Settings settings, bool isOn)
    : id(id), effect(std::move(effect)), intensity(intensity), settings(std::move(settings)), isOn(isOn)
{
}

namespace {

Uuid decodeId(const nlohmann::json& object)
{
    const auto* member = json::optionalMember(object, "id");
    if (member == nullptr) {
        return Uuid::random();
    }
    const auto parsed = Uuid::parse(json::toString(*member, "id"));
    if (!parsed) {
        throw json::DecodingError("\"id\" deve ser um UUID válido.");
    }
    return *parsed;
}

ShaderPass::Settings decodeSettings(const nlohmann::json& object)
{
    ShaderPass::Settings settings;
    const auto* member = json::optionalMember(object, "settings");
    if (member == nullptr) {
        return settings;
    }
    json::requireObject(*member, "\"settings\"");
    for (const auto& [key, value] : member->items()) {
        settings.emplace(key, json::toFloat(value, "settings." + key));
    }
    return settings;
}

}  // namespace

ShaderPass ShaderPass::fromJson(const nlohmann::json& object)
{
    json::requireObject(object, "A passagem do shader");
    const auto* intensity = json::optionalMember(object, "intensity");
    const auto* isOn = json::optionalMember(object, "isOn");
    return ShaderPass(decodeId(object), json::toString(json::requiredMember(object, "effect"), "effect"),
                      intensity ? json::toFloat(*intensity, "intensity") : 1.0f, decodeSettings(object),
                      isOn ? json::toBool(*isOn, "isOn") : true);
}

nlohmann::json toJson(const ShaderPass& pass)
{
    auto settings = nlohmann::json::object();
    for (const auto& [key, value] : pass.settings) {
        settings[key] = json::encodeFloat(value, "settings." + key);
    }
    return {
        {"id", pass.id.string()},
        {"effect", pass.effect},
        {"intensity", json::encodeFloat(pass.intensity, "intensity")},
        {"settings", std::move(settings)},
        {"isOn", pass.isOn},
    };
}

std::vector<ShaderPass> passesFromJson(const nlohmann::json& array)
{
    if (!array.is_array()) {
        throw json::DecodingError("\"passes\" deve ser uma lista.");
    }
    std::vector<ShaderPass> passes;
    passes.reserve(array.size());
    for (const auto& element : array) {
        passes.push_back(ShaderPass::fromJson(element));
    }
    return passes;
}

nlohmann::json toJson(const std::vector<ShaderPass>& passes)
{
    auto array = nlohmann::json::array();
    for (const auto& pass : passes) {
        array.push_back(toJson(pass));
    }
    return array;
}

}  // namespace tilvane
