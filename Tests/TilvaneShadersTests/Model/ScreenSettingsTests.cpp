#include "TilvaneShaders/Model/ScreenSettings.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace tilvane {
namespace {

ShaderPass activePass(std::string effect, ShaderPass::Settings settings = {})
{
    return ShaderPass(std::move(effect), 1, std::move(settings), true);
}

std::optional<ShaderConfiguration> configurationOf(std::vector<ShaderPass> passes)
{
    return ShaderConfiguration{std::move(passes), false, BezelSettings{}};
}

struct ProvidesCase {
    std::string name;
    std::optional<ShaderConfiguration> configuration;
    bool scanlines;
    bool glow;
};

class ShaderProvides : public testing::TestWithParam<ProvidesCase> {};

TEST_P(ShaderProvides, WalksTheActivePassesInOrder)
{
    const auto& row = GetParam();
    EXPECT_EQ(ScreenSettings::shaderProvidesScanlines(row.configuration), row.scanlines);
    EXPECT_EQ(ScreenSettings::shaderProvidesGlow(row.configuration), row.glow);

    const ScreenSettings screen{0.5f, 0.25f, 0.75f};
    EXPECT_EQ(screen.effectiveScanlineStrength(row.configuration), row.scanlines ? 0.0f : 0.5f);
    EXPECT_EQ(screen.effectiveGlowStrength(row.configuration), row.glow ? 0.0f : 0.75f);
    EXPECT_TRUE(screen.applies(row.configuration) == !(row.scanlines && row.glow));
}

const float nan = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Walk, ShaderProvides,
    testing::Values(
        ProvidesCase{"NoConfiguration", std::nullopt, false, false},
        ProvidesCase{"NoPasses", configurationOf({}), false, false},
        ProvidesCase{"CrtWithoutSettings", configurationOf({activePass("crt")}), true, true},
        ProvidesCase{"CrtWithoutScanlines", configurationOf({activePass("crt", {{"scanLinesStrength", 0}})}), false,
                     true},
        ProvidesCase{"CrtWithoutBloom", configurationOf({activePass("crt", {{"bloomStrength", -1}})}), true, false},
        ProvidesCase{"CrtNaNSettings",
                     configurationOf({activePass("crt", {{"scanLinesStrength", nan}, {"bloomStrength", nan}})}), false,
                     false},
        ProvidesCase{"CrtSpreadIsNotStrength", configurationOf({activePass("crt", {{"bloomSpread", 0}})}), true, true},
        ProvidesCase{"LottesAlways", configurationOf({activePass("crtLottes")}), true, true},
        ProvidesCase{"LottesOff", configurationOf({ShaderPass("crtLottes", 1, {}, false)}), false, false},
        ProvidesCase{"LottesAtZero", configurationOf({ShaderPass("crtLottes", 0, {}, true)}), false, false},
        ProvidesCase{"LottesNegative", configurationOf({ShaderPass("crtLottes", -0.5f, {}, true)}), false, false},
        ProvidesCase{"LottesNaNIntensity", configurationOf({ShaderPass("crtLottes", nan, {}, true)}), false, false},
        ProvidesCase{"PhosphorKeys",
                     configurationOf({activePass("realisticPhosphor", {{"scanStrength", 0.1f}, {"bloom", 0}})}), true,
                     false},
        ProvidesCase{"PhosphorIgnoresCrtKeys",
                     configurationOf({activePass("realisticPhosphor", {{"scanLinesStrength", 0}, {"bloomStrength", 0}})}),
                     true, true},
        ProvidesCase{"WalkContinuesPastSilentPass",
                     configurationOf({activePass("crt", {{"scanLinesStrength", 0}, {"bloomStrength", 0}}),
                                      activePass("realisticPhosphor", {{"scanStrength", 0.35f}, {"bloom", 0}})}),
                     true, false},
        ProvidesCase{"WalkContinuesPastEveryPassThatDoesNotAnswer",
                     configurationOf({ShaderPass("crtLottes", 1, {}, false), activePass("negative"),
                                      activePass("realisticPhosphor", {{"scanStrength", 0}, {"bloom", 0}}),
                                      activePass("crt", {{"bloomStrength", 0}})}),
                     true, false},
        ProvidesCase{"OtherEffectsNever",
                     configurationOf({activePass("negative"), activePass("glitchy"), activePass("mnoise"),
                                      activePass("CRT")}),
                     false, false}),
    [](const testing::TestParamInfo<ProvidesCase>& info) { return info.param.name; });

TEST(ScreenSettingsApplies, NeedsAnEffectiveStrengthAboveZero)
{
    const auto crtWithoutScanlines = configurationOf({activePass("crt", {{"scanLinesStrength", 0}})});
    const auto crt = configurationOf({activePass("crt")});
    EXPECT_FALSE((ScreenSettings{0, 0.5f, 0}.applies(std::nullopt)));
    EXPECT_FALSE((ScreenSettings{0, 0.5f, 0}.applies(crtWithoutScanlines)));
    EXPECT_FALSE((ScreenSettings{0.5f, 0.5f, 0}.applies(crt)));
    EXPECT_TRUE((ScreenSettings{0.5f, 0.5f, 0}.applies(crtWithoutScanlines)));
    EXPECT_TRUE((ScreenSettings{0, 0.5f, 0.2f}.applies(std::nullopt)));
    EXPECT_FALSE((ScreenSettings{nan, 0.5f, nan}.applies(std::nullopt)));
}

}  // namespace
}  // namespace tilvane
