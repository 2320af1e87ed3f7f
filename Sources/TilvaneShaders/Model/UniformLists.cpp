#include "UniformLists.hpp"

#include "TilvaneCore/UnicodeWhiteSpace.hpp"
#include "TilvaneShaders/Model/EffectIdentifier.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <utility>

namespace tilvane {

namespace {

using KeyMap = std::initializer_list<std::pair<std::string_view, std::size_t>>;

// Overwrites the slot of every setting whose key the effect reads, unchanged.
void applySettings(std::vector<float>& list, const ShaderPass::Settings& settings, KeyMap keyMap)
{
    for (const auto& [key, slot] : keyMap) {
        if (const auto found = settings.find(key); found != settings.end()) {
            list[slot] = found->second;
        }
    }
}

std::vector<float> crtUniforms(const ShaderPass& pass, float width, float height, bool motion, float time)
{
    std::vector<float> list{
        width, height, time, pass.intensity,
        13, 11,                      // curveX, curveY
        0.1f,                        // colorFringingSpread
        0.75f, 0.1f,                 // ghostingSpread, ghostingStrength
        0.4f,                        // darkenMix
        0.4f, 20,                    // vignetteSpread, vignetteBrightness
        0.93f, 1, 0.96f,             // tintR, tintG, tintB
        0.2f, 0.35f, 4,              // scanLinesStrength, scanLinesVariance, scanLinesPeriod
        0.3f, 2,                     // apertureGrilleStrength, apertureGrillePeriod
        motion ? 0.04f : 0.0f, 15,   // flickerStrength, flickerFrequency
        0.25f, 0.25f,                // noiseContentStrength, noiseUniformStrength
        8, 0.004f,                   // bloomSpread, bloomStrength
        1, 1,                        // backgroundOpacity, maskOutsideBounds
    };
    applySettings(list, pass.settings,
                  {{"curveX", 4}, {"curveY", 5}, {"colorFringingSpread", 6}, {"ghostingSpread", 7},
                   {"ghostingStrength", 8}, {"darkenMix", 9}, {"vignetteSpread", 10}, {"vignetteBrightness", 11},
                   {"tintR", 12}, {"tintG", 13}, {"tintB", 14}, {"scanLinesStrength", 15},
                   {"scanLinesVariance", 16}, {"scanLinesPeriod", 17}, {"apertureGrilleStrength", 18},
                   {"apertureGrillePeriod", 19}, {"flickerStrength", 20}, {"flickerFrequency", 21},
                   {"noiseContentStrength", 22}, {"noiseUniformStrength", 23}, {"bloomSpread", 24},
                   {"bloomStrength", 25}, {"backgroundOpacity", 26}, {"maskOutsideBounds", 27}});
    if (!motion) {
        list[20] = 0;  // a still picture never flickers, whatever the settings hold
    }
    return list;
}

std::vector<float> glitchyUniforms(const ShaderPass& pass, float width, float height, float time)
{
    std::vector<float> list{width, height, time, std::floor(time * 60), 10, 0.1f, pass.intensity};
    applySettings(list, pass.settings, {{"duration", 4}, {"amount", 5}});
    return list;
}

std::vector<float> crtLottesUniforms(const ShaderPass& pass, float width, float height)
{
    std::vector<float> list{width, height, 1.0f / 3.0f, 1, 0.5f, 0.75f, -2.75f, 0.65f, pass.intensity};
    applySettings(list, pass.settings,
                  {{"scale", 2}, {"warpStrength", 3}, {"minVignette", 4}, {"thin", 5}, {"blur", 6}, {"mask", 7}});
    return list;
}

// Below the lower bound or NaN gives the lower bound, above the upper bound the upper bound.
float clamped(float value, float lower, float upper)
{
    if (!(value >= lower)) return lower;
    if (value > upper) return upper;
    return value;
}

}  // namespace

std::vector<float> uniforms(const ShaderPass& pass, int width, int height, bool motion, float time)
{
    const auto w = static_cast<float>(width);
    const auto h = static_cast<float>(height);
    const float effectiveTime = motion ? time : 0.0f;
    if (pass.effect == effect::crt) return crtUniforms(pass, w, h, motion, effectiveTime);
    if (pass.effect == effect::glitchy) return glitchyUniforms(pass, w, h, effectiveTime);
    if (pass.effect == effect::crtLottes) return crtLottesUniforms(pass, w, h);
    if (pass.effect == effect::mnoise) return {w, h, effectiveTime, pass.intensity};
    return {w, h, pass.intensity};
}

std::vector<float> phosphorUniforms(const ShaderPass& pass, int width, int height, const PhosphorFrame& frame)
{
    std::vector<float> list{
        static_cast<float>(width), static_cast<float>(height),
        0, 0,                   // time, elapsed time (the frame's, below)
        pass.intensity,
        0, 0.8f, 0.4f,          // phosphorR, phosphorG, phosphorB
        0, 0.02f, 0.09f,        // backgroundR, backgroundG, backgroundB
        400,                    // virtualRows
        0.35f, 0.65f, 0.12f,    // scanStrength, bloom, persistence
        0.03f, 0.02f, 0.01f,    // noise, flicker, jitter
        0.12f, 1, 1.1f, 0.25f,  // curvature, rasterMode, brightness, maskStrength
        0, 0,                   // motion flag, previous-frame flag (the frame's, below)
        0.35f, 0.16f,           // rollingStrength, rollingSpeed
        0,                      // paletteLinked
        0, 0.2f,                // overdrive, overdriveKnee
        0, 0.12f, 0.012f,       // horizontalSync, horizontalSyncSpeed, horizontalSyncWidth
        0,                      // bloomStyle
    };
    applySettings(list, pass.settings,
                  {{"phosphorR", 5}, {"phosphorG", 6}, {"phosphorB", 7}, {"backgroundR", 8}, {"backgroundG", 9},
                   {"backgroundB", 10}, {"virtualRows", 11}, {"scanStrength", 12}, {"bloom", 13},
                   {"persistence", 14}, {"noise", 15}, {"flicker", 16}, {"jitter", 17}, {"curvature", 18},
                   {"rasterMode", 19}, {"brightness", 20}, {"maskStrength", 21}, {"rollingStrength", 24},
                   {"rollingSpeed", 25}, {"paletteLinked", 26}, {"overdrive", 27}, {"overdriveKnee", 28},
                   {"horizontalSync", 29}, {"horizontalSyncSpeed", 30}, {"horizontalSyncWidth", 31},
                   {"bloomStyle", 32}});
    list[2] = frame.motion ? frame.time : 0.0f;
    list[3] = frame.previousFrameKnown ? frame.elapsed : 0.0f;
    list[22] = frame.motion ? 1.0f : 0.0f;
    list[23] = frame.previousFrameKnown ? 1.0f : 0.0f;
    list[26] = 0;  // the palette link is not sent
    return list;
}

std::vector<float> screenUniforms(const ScreenSettings& screen, const std::optional<ShaderConfiguration>& configuration,
                                  int width, int height)
{
    return {static_cast<float>(width), static_cast<float>(height), screen.effectiveScanlineStrength(configuration),
            screen.scanlineThickness, screen.effectiveGlowStrength(configuration)};
}

std::vector<float> bezelUniforms(const BezelSettings& bezel, int width, int height)
{
    const auto w = static_cast<float>(width);
    const auto h = static_cast<float>(height);
    const float depth = clamped(bezel.depth, 0, 1);
    const auto [red, green, blue] = color(bezel.color);
    return {w,   h,    (0.5f - depth) * 0.16f + 0.88f, w / h, depth, red, green, blue,
            clamped(bezel.reflectionSoftness, 0, 1), clamped(bezel.curvature, 0, 3)};
}

std::array<float, 3> color(std::string_view text)
{
    const std::string_view trimmed = trimmingWhiteSpace(text);
    std::uint32_t value = 0;
    if (trimmed.size() == 7 && trimmed.front() == '#') {
        const auto digits = trimmed.substr(1);
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
        if (error == std::errc{} && end == digits.data() + digits.size()) {
            return {static_cast<float>((value >> 16) & 0xFF) / 255.0f, static_cast<float>((value >> 8) & 0xFF) / 255.0f,
                    static_cast<float>(value & 0xFF) / 255.0f};
        }
    }
    return {22.0f / 255.0f, 23.0f / 255.0f, 24.0f / 255.0f};
}

}  // namespace tilvane
