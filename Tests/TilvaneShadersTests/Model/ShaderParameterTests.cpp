#include "TilvaneShaders/Model/ShaderParameter.hpp"

#include "TilvaneShaders/Model/EffectIdentifier.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace tilvane {

// Readable failures: one row as key, label, range, standard and kind.
void PrintTo(const ShaderParameter& parameter, std::ostream* stream)
{
    *stream << '{' << parameter.key << ", " << parameter.label << ", " << parameter.range.lowerBound << "..."
            << parameter.range.upperBound << ", " << parameter.standard << ", kind " << static_cast<int>(parameter.kind)
            << '}';
}

namespace {

using Kind = ShaderParameter::Kind;

using Rows = std::vector<ShaderParameter>;

ShaderParameter row(const char* key, const char* label, float lower, float upper, float standard,
                    Kind kind = Kind::number)
{
    return ShaderParameter{key, label, {lower, upper}, standard, kind};
}

// Whole rows, so that a label, range, standard or kind moved to a neighbouring row shows.
TEST(ShaderParameterTables, HoldEveryRowInDisplayOrder)
{
    EXPECT_EQ(ShaderParameter::forEffect("realisticPhosphor"),
              (Rows{row("phosphor", "Fósforo", 0, 1, 0, Kind::color),
                    row("background", "Fundo", 0, 1, 0, Kind::color),
                    row("virtualRows", "Linhas", 1, 2000, 400),
                    row("scanStrength", "Varredura", 0, 1, 0.35f),
                    row("bloom", "Brilho", 0, 4, 0.65f),
                    row("persistence", "Persistência", 0, 2, 0.12f),
                    row("noise", "Ruído", 0, 1, 0.03f),
                    row("flicker", "Cintilação", 0, 1, 0.02f),
                    row("jitter", "Instabilidade", 0, 1, 0.01f),
                    row("curvature", "Curvatura", 0, 1, 0.12f),
                    row("rasterMode", "Raster", 0, 3, 1, Kind::raster),
                    row("brightness", "Luminosidade", 0, 4, 1.1f),
                    row("maskStrength", "Máscara", 0, 1, 0.25f),
                    row("rollingStrength", "Faixa móvel", 0, 1, 0.35f),
                    row("rollingSpeed", "Velocidade", 0.03f, 0.5f, 0.16f),
                    row("overdrive", "Overdrive", 0, 1, 0),
                    row("overdriveKnee", "Limiar", 0, 0.8f, 0.2f),
                    row("horizontalSync", "HSync", 0, 1, 0),
                    row("horizontalSyncSpeed", "Vel. HSync", 0.03f, 0.5f, 0.12f),
                    row("horizontalSyncWidth", "Larg. HSync", 0.002f, 0.08f, 0.012f),
                    row("bloomStyle", "Halation", 0, 1, 0, Kind::switchValue)}));
    EXPECT_EQ(ShaderParameter::forEffect("crt"),
              (Rows{row("curveX", "Curva horizontal", 3, 20, 13), row("curveY", "Curva vertical", 2.5f, 17, 11),
                    row("scanLinesStrength", "Varredura", 0, 1, 0.2f), row("apertureGrilleStrength", "Grade", 0, 1, 0.3f),
                    row("bloomSpread", "Brilho", 0, 24, 8), row("noiseContentStrength", "Ruído", 0, 1, 0.25f),
                    row("flickerStrength", "Cintilação", 0, 1, 0.04f)}));
    EXPECT_EQ(ShaderParameter::forEffect("glitchy"),
              (Rows{row("duration", "Duração", 0.1f, 30, 10), row("amount", "Distorção", 0, 1, 0.1f)}));
    EXPECT_EQ(ShaderParameter::forEffect("crtLottes"),
              (Rows{row("scale", "Escala", 0.1f, 1, 0.33333334f), row("warpStrength", "Curvatura", 0, 2, 1),
                    row("minVignette", "Vinheta", 0, 1, 0.5f), row("thin", "Traço", 0, 2, 0.75f),
                    row("blur", "Foco", -5, 1, -2.75f), row("mask", "Máscara", 0, 1, 0.65f)}));
}

TEST(ShaderParameterTables, MatchEffectsExactly)
{
    for (const char* effect : {"CRT", "Crt", "crt ", "negative", "mnoise", "", "realisticphosphor"}) {
        EXPECT_TRUE(ShaderParameter::forEffect(effect).empty()) << '"' << effect << '"';
    }
}

TEST(ShaderParameterTables, RangesAndStandardsHold)
{
    int negativeRows = 0;
    for (const auto effect : effect::all) {
        std::set<std::string> keys;
        for (const auto& row : ShaderParameter::forEffect(effect)) {
            EXPECT_TRUE(keys.insert(row.key).second) << "duplicate key " << row.key;
            EXPECT_EQ(row.id(), row.key);
            EXPECT_LT(row.range.lowerBound, row.range.upperBound) << row.key;
            EXPECT_TRUE(row.range.contains(row.standard)) << row.key;
            if (row.range.lowerBound < 0 || row.standard < 0) {
                ++negativeRows;
                EXPECT_EQ(row, (ShaderParameter{"blur", "Foco", {-5, 1}, -2.75f, Kind::number}));
            }
        }
    }
    EXPECT_EQ(negativeRows, 1);
}

}  // namespace
}  // namespace tilvane
