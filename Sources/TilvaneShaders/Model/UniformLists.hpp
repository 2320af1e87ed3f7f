#pragma once

#include "TilvaneShaders/Model/BezelSettings.hpp"
#include "TilvaneShaders/Model/EffectTables.hpp"
#include "TilvaneShaders/Model/ScreenSettings.hpp"
#include "TilvaneShaders/Model/ShaderConfiguration.hpp"
#include "TilvaneShaders/Model/ShaderPass.hpp"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

// The float lists handed to the fragment shaders at buffer index 0, slot by slot. Every list starts
// with the picture's width and height. Stored settings are passed unclamped.
namespace tilvane {

// The list of an effect pass drawn by one fragment function: "crt" (28 floats), "glitchy" (7),
// "crtLottes" (9), "mnoise" (4), "negative" and any other text (3). The time only counts with motion.
std::vector<float> uniforms(const ShaderPass& pass, int width, int height, bool motion, float time);

// What the phosphor chain knows about the frame it draws.
struct PhosphorFrame {
    bool motion = false;              // slot 22; slot 2 holds `time` only with motion
    float time = 0;                   // the frame time, already finite
    bool previousFrameKnown = false;  // slot 23; slot 3 holds `elapsed` only when known
    float elapsed = 0;                // time since the stored emission was written
};

inline constexpr std::size_t phosphorUniformCount = uniform_slots::realisticPhosphor.size();

// The 33-float list of "realisticPhosphor": defaults, the pass's settings, then the frame's slots
// 2, 3, 22, 23 and 26 (always 0).
std::vector<float> phosphorUniforms(const ShaderPass& pass, int width, int height, const PhosphorFrame& frame);

// The 5-float list of the screen-wide pass: width, height, effective scanline strength, thickness
// as stored, effective glow strength.
std::vector<float> screenUniforms(const ScreenSettings& screen, const std::optional<ShaderConfiguration>& configuration,
                                  int width, int height);

// The 10-float list of the monitor bezel; depth, softness and curvature are clamped (NaN to the
// lower bound).
std::vector<float> bezelUniforms(const BezelSettings& bezel, int width, int height);

// Red, green and blue 0...1 of "#RRGGBB" (Unicode white space around it ignored, either letter case);
// the near-black grey #161718 for any other text.
std::array<float, 3> color(std::string_view text);

}  // namespace tilvane
