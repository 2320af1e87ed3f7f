#pragma once

#include "TilvaneShaders/Model/ShaderParameter.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

// One table per float list a fragment function receives: every slot's name in the shader sources,
// the pass setting that overwrites it, its standard value and, for the slots the inspector offers,
// the label, range and kind. The parameter tables, the uniform lists and the shader sources' named
// slots are all read from here.
namespace tilvane {

struct UniformSlot {
    std::string_view name;  // what the shader sources read, e.g. CRT_CURVE_X
    std::size_t slot;
    std::string_view key;  // the pass setting that overwrites the standard; empty when the renderer fills the slot
    float standard = 0;
    std::string_view label;  // the inspector's label; empty when the inspector does not offer the slot
    ShaderParameter::Range range{0, 0};
    // A colour is offered once, on its red slot, under the key without its "R"; green and blue follow it.
    ShaderParameter::Kind kind = ShaderParameter::Kind::number;

    constexpr bool offered() const noexcept { return !label.empty(); }
};

namespace uniform_slots {

using Kind = ShaderParameter::Kind;

// A slot the renderer fills from the picture, the pass or the frame.
constexpr UniformSlot filled(std::string_view name, std::size_t slot)
{
    return {name, slot, {}, 0, {}, {0, 0}, Kind::number};
}

// A slot a pass setting overwrites, not offered in the inspector.
constexpr UniformSlot stored(std::string_view name, std::size_t slot, std::string_view key, float standard)
{
    return {name, slot, key, standard, {}, {0, 0}, Kind::number};
}

// A slot the inspector offers under `label`, within `lower`...`upper`.
constexpr UniformSlot offered(std::string_view name, std::size_t slot, std::string_view key, float standard,
                              std::string_view label, float lower, float upper, Kind kind = Kind::number)
{
    return {name, slot, key, standard, label, {lower, upper}, kind};
}

// Every list starts with the picture's width and height.
constexpr UniformSlot pictureWidth = filled("PICTURE_WIDTH", 0);
constexpr UniformSlot pictureHeight = filled("PICTURE_HEIGHT", 1);

// Slots offered in the inspector come first, in the order it lists them.
inline constexpr std::array crt{
    offered("CRT_CURVE_X", 4, "curveX", 13, "Curva horizontal", 3, 20),
    offered("CRT_CURVE_Y", 5, "curveY", 11, "Curva vertical", 2.5f, 17),
    offered("CRT_SCAN_LINES_STRENGTH", 15, "scanLinesStrength", 0.2f, "Varredura", 0, 1),
    offered("CRT_APERTURE_GRILLE_STRENGTH", 18, "apertureGrilleStrength", 0.3f, "Grade", 0, 1),
    offered("CRT_BLOOM_SPREAD", 24, "bloomSpread", 8, "Brilho", 0, 24),
    offered("CRT_NOISE_CONTENT_STRENGTH", 22, "noiseContentStrength", 0.25f, "Ruído", 0, 1),
    offered("CRT_FLICKER_STRENGTH", 20, "flickerStrength", 0.04f, "Cintilação", 0, 1),
    pictureWidth,
    pictureHeight,
    filled("CRT_TIME", 2),
    filled("CRT_INTENSITY", 3),
    stored("CRT_COLOR_FRINGING_SPREAD", 6, "colorFringingSpread", 0.1f),
    stored("CRT_GHOSTING_SPREAD", 7, "ghostingSpread", 0.75f),
    stored("CRT_GHOSTING_STRENGTH", 8, "ghostingStrength", 0.1f),
    stored("CRT_DARKEN_MIX", 9, "darkenMix", 0.4f),
    stored("CRT_VIGNETTE_SPREAD", 10, "vignetteSpread", 0.4f),
    stored("CRT_VIGNETTE_BRIGHTNESS", 11, "vignetteBrightness", 20),
    stored("CRT_TINT_R", 12, "tintR", 0.93f),
    stored("CRT_TINT_G", 13, "tintG", 1),
    stored("CRT_TINT_B", 14, "tintB", 0.96f),
    stored("CRT_SCAN_LINES_VARIANCE", 16, "scanLinesVariance", 0.35f),
    stored("CRT_SCAN_LINES_PERIOD", 17, "scanLinesPeriod", 4),
    stored("CRT_APERTURE_GRILLE_PERIOD", 19, "apertureGrillePeriod", 2),
    stored("CRT_FLICKER_FREQUENCY", 21, "flickerFrequency", 15),
    stored("CRT_NOISE_UNIFORM_STRENGTH", 23, "noiseUniformStrength", 0.25f),
    stored("CRT_BLOOM_STRENGTH", 25, "bloomStrength", 0.004f),
    stored("CRT_BACKGROUND_OPACITY", 26, "backgroundOpacity", 1),
    stored("CRT_MASK_OUTSIDE_BOUNDS", 27, "maskOutsideBounds", 1),
};

inline constexpr std::array glitchy{
    offered("GLITCHY_DURATION", 4, "duration", 10, "Duração", 0.1f, 30),
    offered("GLITCHY_AMOUNT", 5, "amount", 0.1f, "Distorção", 0, 1),
    pictureWidth,
    pictureHeight,
    filled("GLITCHY_TIME", 2),
    filled("GLITCHY_FRAME", 3),  // time × 60, whole
    filled("GLITCHY_INTENSITY", 6),
};

inline constexpr std::array crtLottes{
    offered("LOTTES_SCALE", 2, "scale", 1.0f / 3.0f, "Escala", 0.1f, 1),
    offered("LOTTES_WARP_STRENGTH", 3, "warpStrength", 1, "Curvatura", 0, 2),
    offered("LOTTES_MIN_VIGNETTE", 4, "minVignette", 0.5f, "Vinheta", 0, 1),
    offered("LOTTES_THIN", 5, "thin", 0.75f, "Traço", 0, 2),
    offered("LOTTES_BLUR", 6, "blur", -2.75f, "Foco", -5, 1),
    offered("LOTTES_MASK", 7, "mask", 0.65f, "Máscara", 0, 1),
    pictureWidth,
    pictureHeight,
    filled("LOTTES_INTENSITY", 8),
};

inline constexpr std::array mnoise{pictureWidth, pictureHeight, filled("MNOISE_TIME", 2),
                                   filled("MNOISE_INTENSITY", 3)};

inline constexpr std::array negative{pictureWidth, pictureHeight, filled("NEGATIVE_INTENSITY", 2)};

// The list of the phosphor's excitation and composite passes.
inline constexpr std::array realisticPhosphor{
    offered("PHOSPHOR_R", 5, "phosphorR", 0, "Fósforo", 0, 1, Kind::color),
    offered("PHOSPHOR_BACKGROUND_R", 8, "backgroundR", 0, "Fundo", 0, 1, Kind::color),
    offered("PHOSPHOR_VIRTUAL_ROWS", 11, "virtualRows", 400, "Linhas", 1, 2000),
    offered("PHOSPHOR_SCAN_STRENGTH", 12, "scanStrength", 0.35f, "Varredura", 0, 1),
    offered("PHOSPHOR_BLOOM", 13, "bloom", 0.65f, "Brilho", 0, 4),
    offered("PHOSPHOR_PERSISTENCE", 14, "persistence", 0.12f, "Persistência", 0, 2),
    offered("PHOSPHOR_NOISE", 15, "noise", 0.03f, "Ruído", 0, 1),
    offered("PHOSPHOR_FLICKER", 16, "flicker", 0.02f, "Cintilação", 0, 1),
    offered("PHOSPHOR_JITTER", 17, "jitter", 0.01f, "Instabilidade", 0, 1),
    offered("PHOSPHOR_CURVATURE", 18, "curvature", 0.12f, "Curvatura", 0, 1),
    offered("PHOSPHOR_RASTER_MODE", 19, "rasterMode", 1, "Raster", 0, 3, Kind::raster),
    offered("PHOSPHOR_BRIGHTNESS", 20, "brightness", 1.1f, "Luminosidade", 0, 4),
    offered("PHOSPHOR_MASK_STRENGTH", 21, "maskStrength", 0.25f, "Máscara", 0, 1),
    offered("PHOSPHOR_ROLLING_STRENGTH", 24, "rollingStrength", 0.35f, "Faixa móvel", 0, 1),
    offered("PHOSPHOR_ROLLING_SPEED", 25, "rollingSpeed", 0.16f, "Velocidade", 0.03f, 0.5f),
    offered("PHOSPHOR_OVERDRIVE", 27, "overdrive", 0, "Overdrive", 0, 1),
    offered("PHOSPHOR_OVERDRIVE_KNEE", 28, "overdriveKnee", 0.2f, "Limiar", 0, 0.8f),
    offered("PHOSPHOR_HSYNC", 29, "horizontalSync", 0, "HSync", 0, 1),
    offered("PHOSPHOR_HSYNC_SPEED", 30, "horizontalSyncSpeed", 0.12f, "Vel. HSync", 0.03f, 0.5f),
    offered("PHOSPHOR_HSYNC_WIDTH", 31, "horizontalSyncWidth", 0.012f, "Larg. HSync", 0.002f, 0.08f),
    offered("PHOSPHOR_BLOOM_STYLE", 32, "bloomStyle", 0, "Halation", 0, 1, Kind::switchValue),
    pictureWidth,
    pictureHeight,
    filled("PHOSPHOR_TIME", 2),
    filled("PHOSPHOR_ELAPSED", 3),
    filled("PHOSPHOR_INTENSITY", 4),
    stored("PHOSPHOR_G", 6, "phosphorG", 0.8f),
    stored("PHOSPHOR_B", 7, "phosphorB", 0.4f),
    stored("PHOSPHOR_BACKGROUND_G", 9, "backgroundG", 0.02f),
    stored("PHOSPHOR_BACKGROUND_B", 10, "backgroundB", 0.09f),
    filled("PHOSPHOR_MOTION", 22),
    filled("PHOSPHOR_PREVIOUS_FRAME", 23),
    filled("PHOSPHOR_PALETTE_LINKED", 26),  // the palette link is not sent
};

// The list of the phosphor's blur passes.
inline constexpr std::array phosphorBlur{
    pictureWidth,  // of the texture blurred
    pictureHeight,
    filled("BLUR_DIRECTION_X", 2),
    filled("BLUR_DIRECTION_Y", 3),
    filled("BLUR_STRIDE", 4),  // how many of its pixels one target pixel spans
    filled("BLUR_HALATION", 5),
};

inline constexpr std::array screen{
    pictureWidth,
    pictureHeight,
    filled("SCREEN_SCANLINE_STRENGTH", 2),
    filled("SCREEN_SCANLINE_THICKNESS", 3),
    filled("SCREEN_GLOW_STRENGTH", 4),
};

inline constexpr std::array bezel{
    pictureWidth,
    pictureHeight,
    filled("BEZEL_SCREEN_HEIGHT", 2),  // share of the height the screen fills
    filled("BEZEL_ASPECT", 3),         // width / height
    filled("BEZEL_DEPTH", 4),
    filled("BEZEL_COLOR_R", 5),
    filled("BEZEL_COLOR_G", 6),
    filled("BEZEL_COLOR_B", 7),
    filled("BEZEL_REFLECTION_SOFTNESS", 8),
    filled("BEZEL_CURVATURE", 9),
};

// The slot of `name` in `table`; a name the table lacks does not compile.
consteval std::size_t slotOf(std::span<const UniformSlot> table, std::string_view name)
{
    const auto found =
        std::find_if(table.begin(), table.end(), [&](const UniformSlot& row) { return row.name == name; });
    if (found == table.end()) {
        throw "no such slot";
    }
    return found->slot;
}

// True when the table names slots 0...size-1 once each, and each name once.
constexpr bool coversEverySlotOnce(std::span<const UniformSlot> table)
{
    for (std::size_t slot = 0; slot < table.size(); ++slot) {
        if (std::count_if(table.begin(), table.end(), [&](const UniformSlot& row) { return row.slot == slot; }) != 1) {
            return false;
        }
    }
    for (const UniformSlot& row : table) {
        if (std::count_if(table.begin(), table.end(), [&](const UniformSlot& other) { return other.name == row.name; })
            != 1) {
            return false;
        }
    }
    return true;
}

static_assert(coversEverySlotOnce(crt) && coversEverySlotOnce(glitchy) && coversEverySlotOnce(crtLottes)
              && coversEverySlotOnce(mnoise) && coversEverySlotOnce(negative) && coversEverySlotOnce(realisticPhosphor)
              && coversEverySlotOnce(phosphorBlur) && coversEverySlotOnce(screen) && coversEverySlotOnce(bezel));

// The table of an effect's list (exact, case-sensitive id); negative's for any text without one.
std::span<const UniformSlot> forEffect(std::string_view effect) noexcept;

// Every table, for the shader sources' named slots.
inline constexpr std::span<const UniformSlot> all[] = {
    crt, glitchy, crtLottes, mnoise, negative, realisticPhosphor, phosphorBlur, screen, bezel};

// True when a name several tables share stands for the same slot in each.
constexpr bool namesAgreeAcrossTables()
{
    for (const auto table : all) {
        for (const auto other : all) {
            for (const UniformSlot& row : table) {
                for (const UniformSlot& match : other) {
                    if (row.name == match.name && row.slot != match.slot) {
                        return false;
                    }
                }
            }
        }
    }
    return true;
}

static_assert(namesAgreeAcrossTables());

// "#define <name> parameters[<slot>]" for every named slot, one a line; a name several tables share is defined once.
std::string glslDefines();

}  // namespace uniform_slots
}  // namespace tilvane
