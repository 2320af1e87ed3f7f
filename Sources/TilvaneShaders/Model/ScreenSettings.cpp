#include "TilvaneShaders/Model/ScreenSettings.hpp"

#include "TilvaneShaders/Model/EffectIdentifier.hpp"

#include "TilvaneCore/JsonCoding.hpp"

#include <string_view>

namespace tilvane {

namespace {

// The setting of a "crt" and of a "realisticPhosphor" pass that switches its own effect off
// when it holds a value not greater than 0.
struct ProvidingKeys {
    std::string_view crt;
    std::string_view realisticPhosphor;
};

constexpr ProvidingKeys scanlineKeys{"scanLinesStrength", "scanStrength"};
constexpr ProvidingKeys glowKeys{"bloomStrength", "bloom"};

bool isActive(const ShaderPass& pass)
{
    return pass.isOn && pass.intensity > 0;
}

bool keyAllows(const ShaderPass& pass, std::string_view key)
{
    const auto found = pass.settings.find(key);
    return found == pass.settings.end() || found->second > 0;
}

bool provides(const std::optional<ShaderConfiguration>& configuration, const ProvidingKeys& keys)
{
    if (!configuration) {
        return false;
    }
    for (const auto& pass : configuration->passes) {
        if (!isActive(pass)) {
            continue;
        }
        if (pass.effect == effect::crtLottes) {
            return true;
        }
        if (pass.effect == effect::crt && keyAllows(pass, keys.crt)) {
            return true;
        }
        if (pass.effect == effect::realisticPhosphor && keyAllows(pass, keys.realisticPhosphor)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool ScreenSettings::shaderProvidesScanlines(const std::optional<ShaderConfiguration>& configuration)
{
    return provides(configuration, scanlineKeys);
}

bool ScreenSettings::shaderProvidesGlow(const std::optional<ShaderConfiguration>& configuration)
{
    return provides(configuration, glowKeys);
}

float ScreenSettings::effectiveScanlineStrength(const std::optional<ShaderConfiguration>& configuration) const
{
    return shaderProvidesScanlines(configuration) ? 0.0f : scanlineStrength;
}

float ScreenSettings::effectiveGlowStrength(const std::optional<ShaderConfiguration>& configuration) const
{
    return shaderProvidesGlow(configuration) ? 0.0f : glowStrength;
}

bool ScreenSettings::applies(const std::optional<ShaderConfiguration>& configuration) const
{
    return effectiveScanlineStrength(configuration) > 0 || effectiveGlowStrength(configuration) > 0;
}

ScreenSettings ScreenSettings::fromJson(const nlohmann::json& object)
{
    json::requireObject(object, "As configurações de tela");
    ScreenSettings screen;
    if (const auto* strength = json::optionalMember(object, "scanlineStrength")) {
        screen.scanlineStrength = json::toFloat(*strength, "scanlineStrength");
    }
    if (const auto* thickness = json::optionalMember(object, "scanlineThickness")) {
        screen.scanlineThickness = json::toFloat(*thickness, "scanlineThickness");
    }
    if (const auto* glow = json::optionalMember(object, "glowStrength")) {
        screen.glowStrength = json::toFloat(*glow, "glowStrength");
    }
    return screen;
}

nlohmann::json toJson(const ScreenSettings& screen)
{
    return {
        {"scanlineStrength", json::encodeFloat(screen.scanlineStrength, "scanlineStrength")},
        {"scanlineThickness", json::encodeFloat(screen.scanlineThickness, "scanlineThickness")},
        {"glowStrength", json::encodeFloat(screen.glowStrength, "glowStrength")},
    };
}

}  // namespace tilvane
