#include "TilvaneShaders/Model/UniformLists.hpp"

#include "TilvaneCore/UnicodeCharacters.hpp"
#include "TilvaneShaders/Model/EffectIdentifier.hpp"
#include "TilvaneShaders/Model/EffectTables.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace tilvane {

namespace {

namespace slots = uniform_slots;
using slots::slotOf;

// The table's standards, with the setting of every slot a pass setting overwrites, unchanged.
std::vector<float> listFrom(std::span<const UniformSlot> table, const ShaderPass::Settings& settings, float width,
                            float height)
{
    std::vector<float> list(table.size());
    for (const UniformSlot& row : table) {
        list[row.slot] = row.standard;
        if (const auto found = settings.find(row.key); !row.key.empty() && found != settings.end()) {
            list[row.slot] = found->second;
        }
    }
    list[slots::pictureWidth.slot] = width;
    list[slots::pictureHeight.slot] = height;
    return list;
}

std::vector<float> crtUniforms(const ShaderPass& pass, float width, float height, bool motion, float time)
{
    auto list = listFrom(slots::crt, pass.settings, width, height);
    list[slotOf(slots::crt, "CRT_TIME")] = time;
    list[slotOf(slots::crt, "CRT_INTENSITY")] = pass.intensity;
    if (!motion) {
        list[slotOf(slots::crt, "CRT_FLICKER_STRENGTH")] =
            0;  // a still picture never flickers, whatever the settings hold
    }
    return list;
}

std::vector<float> glitchyUniforms(const ShaderPass& pass, float width, float height, float time)
{
    auto list = listFrom(slots::glitchy, pass.settings, width, height);
    list[slotOf(slots::glitchy, "GLITCHY_TIME")] = time;
    list[slotOf(slots::glitchy, "GLITCHY_FRAME")] = std::floor(time * 60);
    list[slotOf(slots::glitchy, "GLITCHY_INTENSITY")] = pass.intensity;
    return list;
}

std::vector<float> crtLottesUniforms(const ShaderPass& pass, float width, float height)
{
    auto list = listFrom(slots::crtLottes, pass.settings, width, height);
    list[slotOf(slots::crtLottes, "LOTTES_INTENSITY")] = pass.intensity;
    return list;
}

std::vector<float> mnoiseUniforms(const ShaderPass& pass, float width, float height, float time)
{
    auto list = listFrom(slots::mnoise, pass.settings, width, height);
    list[slotOf(slots::mnoise, "MNOISE_TIME")] = time;
    list[slotOf(slots::mnoise, "MNOISE_INTENSITY")] = pass.intensity;
    return list;
}

std::vector<float> negativeUniforms(const ShaderPass& pass, float width, float height)
{
    auto list = listFrom(slots::negative, pass.settings, width, height);
    list[slotOf(slots::negative, "NEGATIVE_INTENSITY")] = pass.intensity;
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
    if (pass.effect == effect::mnoise) return mnoiseUniforms(pass, w, h, effectiveTime);
    return negativeUniforms(pass, w, h);
}

std::vector<float> phosphorUniforms(const ShaderPass& pass, int width, int height, const PhosphorFrame& frame)
{
    const auto& table = slots::realisticPhosphor;
    auto list = listFrom(table, pass.settings, static_cast<float>(width), static_cast<float>(height));
    list[slotOf(table, "PHOSPHOR_TIME")] = frame.motion ? frame.time : 0.0f;
    list[slotOf(table, "PHOSPHOR_ELAPSED")] = frame.previousFrameKnown ? frame.elapsed : 0.0f;
    list[slotOf(table, "PHOSPHOR_INTENSITY")] = pass.intensity;
    list[slotOf(table, "PHOSPHOR_MOTION")] = frame.motion ? 1.0f : 0.0f;
    list[slotOf(table, "PHOSPHOR_PREVIOUS_FRAME")] = frame.previousFrameKnown ? 1.0f : 0.0f;
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
    return {w,
            h,
            (0.5f - depth) * 0.16f + 0.88f,
            w / h,
            depth,
            red,
            green,
            blue,
            clamped(bezel.reflectionSoftness, 0, 1),
            clamped(bezel.curvature, 0, 3)};
}

std::array<float, 3> color(std::string_view text)
{
    const std::string_view trimmed = unicode::trimmingWhiteSpace(text);
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
