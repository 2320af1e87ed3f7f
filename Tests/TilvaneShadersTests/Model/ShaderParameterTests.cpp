#include "TilvaneShaders/Model/ShaderParameter.hpp"

#include "TilvaneShaders/Model/EffectIdentifier.hpp"
#include "TilvaneShaders/Model/UniformLists.hpp"

#include <gtest/gtest.h>


namespace tilvane {
namespace {

using Kind = ShaderParameter::Kind;

// "key Label" for each row, in order.
std::vector<std::string> rowsOf(const std::string& effect)
{
    std::vector<std::string> rows;
    for (const auto& row : ShaderParameter::forEffect(effect)) rows.push_back(row.key + " " + row.label);
    return rows;
}

TEST(ShaderParameterTables, ListEachEffectsRowsInDisplayOrderWithTheirKinds)
{
    using Rows = std::vector<std::string>;
    EXPECT_EQ(rowsOf("crt"), (Rows{"curveX Curva horizontal", "curveY Curva vertical", "scanLinesStrength Varredura",
                                   "apertureGrilleStrength Grade", "bloomSpread Brilho", "noiseContentStrength Ruído",
                                   "flickerStrength Cintilação"}));
    EXPECT_EQ(rowsOf("glitchy"), (Rows{"duration Duração", "amount Distorção"}));
    EXPECT_EQ(rowsOf("crtLottes"), (Rows{"scale Escala", "warpStrength Curvatura", "minVignette Vinheta", "thin Traço",
                                         "blur Foco", "mask Máscara"}));
    EXPECT_EQ(rowsOf("realisticPhosphor"),
              (Rows{"phosphor Fósforo", "background Fundo", "virtualRows Linhas", "scanStrength Varredura", "bloom Brilho",
                    "persistence Persistência", "noise Ruído", "flicker Cintilação", "jitter Instabilidade",
                    "curvature Curvatura", "rasterMode Raster", "brightness Luminosidade", "maskStrength Máscara",
                    "rollingStrength Faixa móvel", "rollingSpeed Velocidade", "overdrive Overdrive",
                    "overdriveKnee Limiar", "horizontalSync HSync", "horizontalSyncSpeed Vel. HSync",
                    "horizontalSyncWidth Larg. HSync", "bloomStyle Halation"}));
    for (const char* effect : {"CRT", "Crt", "crt ", "negative", "mnoise", "", "realisticphosphor"}) {
        EXPECT_TRUE(ShaderParameter::forEffect(effect).empty()) << '"' << effect << '"';
    }
    const auto rows = ShaderParameter::forEffect("realisticPhosphor");
    ASSERT_EQ(rows.size(), 21u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Kind expected = i < 2 ? Kind::color : i == 10 ? Kind::raster : i == 20 ? Kind::switchValue : Kind::number;
        EXPECT_EQ(rows[i].kind, expected) << rows[i].key;
    }
    EXPECT_EQ(rows[10], (ShaderParameter{"rasterMode", "Raster", {0, 3}, 1, Kind::raster}));
    EXPECT_EQ(rows[20], (ShaderParameter{"bloomStyle", "Halation", {0, 1}, 0, Kind::switchValue}));
    EXPECT_EQ(rows[19], (ShaderParameter{"horizontalSyncWidth", "Larg. HSync", {0.002f, 0.08f}, 0.012f, Kind::number}));
}

// The list drawn for an animated pass of `effectName` holding `settings`.
std::vector<float> drawnList(std::string_view effectName, ShaderPass::Settings settings = {})
{
    const ShaderPass pass(std::string(effectName), 1, std::move(settings), true);
    if (effectName == effect::realisticPhosphor) return phosphorUniforms(pass, 4, 4, PhosphorFrame{true, 0, false, 0});
    return uniforms(pass, 4, 4, true, 0);
}

// Every row has a sound range holding its standard, which is what the screen draws for a missing
// key; only Lottes' blur goes below zero. (The golden lists check that each key reaches its slot.)
TEST(ShaderParameterTables, RangesHoldTheStandardsTheScreenDrawsForAMissingKey)
{
    for (const auto effectName : effect::all) {
        for (const auto& row : ShaderParameter::forEffect(effectName)) {
            SCOPED_TRACE(std::string(effectName) + "." + row.key);
            EXPECT_TRUE(row.range.lowerBound < row.range.upperBound && row.range.contains(row.standard));
            EXPECT_TRUE(row.range.lowerBound >= 0 || row.key == "blur");
            if (row.kind != Kind::color) {
                EXPECT_EQ(drawnList(effectName, {{row.key, row.standard}}), drawnList(effectName));
            }
        }
    }
    EXPECT_EQ(ShaderParameter::forEffect("crtLottes")[4], (ShaderParameter{"blur", "Foco", {-5, 1}, -2.75f, Kind::number}));
    EXPECT_EQ(ShaderParameter::forEffect("crtLottes").front().standard, 0.33333334f);
    EXPECT_EQ(ShaderParameter::forEffect("crt")[1].range, (ShaderParameter::Range{2.5f, 17}));
}

}  // namespace
}  // namespace tilvane
