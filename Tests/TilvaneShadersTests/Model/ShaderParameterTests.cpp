#include "TilvaneShaders/Model/ShaderParameter.hpp"

#include "TilvaneShaders/Model/EffectIdentifier.hpp"
#include "TilvaneShaders/Model/UniformLists.hpp"

#include <gtest/gtest.h>


namespace tilvane {
namespace {

using Kind = ShaderParameter::Kind;

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
    for (const char* effect : {"CRT", "Crt", "crt ", "negative", "mnoise", "", "realisticphosphor"}) {
        EXPECT_TRUE(ShaderParameter::forEffect(effect).empty()) << '"' << effect << '"';
    }
    EXPECT_EQ(ShaderParameter::forEffect("crtLottes")[4],
              (ShaderParameter{"blur", "Foco", {-5, 1}, -2.75f, Kind::number}));
    EXPECT_EQ(ShaderParameter::forEffect("crtLottes").front().standard, 0.33333334f);
    EXPECT_EQ(ShaderParameter::forEffect("crt")[1].range, (ShaderParameter::Range{2.5f, 17}));
}

}  // namespace
}  // namespace tilvane
