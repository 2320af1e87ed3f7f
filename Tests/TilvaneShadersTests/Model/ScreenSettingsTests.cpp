#include "TilvaneShaders/Model/ScreenSettings.hpp"

#include <gtest/gtest.h>


namespace tilvane {
namespace {

const float nan = std::numeric_limits<float>::quiet_NaN();

ShaderPass on(std::string effect, ShaderPass::Settings settings = {})
{
    return ShaderPass(std::move(effect), 1, std::move(settings), true);
}

std::optional<ShaderConfiguration> of(std::vector<ShaderPass> passes)
{
    return ShaderConfiguration{std::move(passes), false, {}};
}

TEST(ShaderProvides, WalksTheActivePassesInOrder)
{
    struct Row {
        const char* name;
        std::optional<ShaderConfiguration> configuration;
        bool scanlines;
        bool glow;
    };
    const Row rows[] = {
        {"NoConfiguration", std::nullopt, false, false},
        {"CrtWithoutSettings", of({on("crt")}), true, true},
        {"CrtWithoutScanlines", of({on("crt", {{"scanLinesStrength", 0}})}), false, true},
        {"CrtWithoutBloom", of({on("crt", {{"bloomStrength", -1}})}), true, false},
        {"CrtNaNSettings", of({on("crt", {{"scanLinesStrength", nan}, {"bloomStrength", nan}})}), false, false},
        {"CrtSpreadIsNotStrength", of({on("crt", {{"bloomSpread", 0}})}), true, true},
        {"LottesAlways", of({on("crtLottes")}), true, true},
        {"LottesOff", of({ShaderPass("crtLottes", 1, {}, false)}), false, false},
        {"LottesAtZero", of({ShaderPass("crtLottes", 0, {}, true)}), false, false},
        {"LottesNaNIntensity", of({ShaderPass("crtLottes", nan, {}, true)}), false, false},
        {"PhosphorKeys", of({on("realisticPhosphor", {{"scanStrength", 0.1f}, {"bloom", 0}})}), true, false},
        {"PhosphorIgnoresCrtKeys", of({on("realisticPhosphor", {{"scanLinesStrength", 0}, {"bloomStrength", 0}})}),
         true, true},
        {"WalkContinuesPastEveryPassThatDoesNotAnswer",
         of({ShaderPass("crtLottes", 1, {}, false), on("negative"),
             on("realisticPhosphor", {{"scanStrength", 0}, {"bloom", 0}}), on("crt", {{"bloomStrength", 0}})}),
         true, false},
        {"OtherEffectsNever", of({on("negative"), on("glitchy"), on("mnoise"), on("CRT")}), false, false}};
    const ScreenSettings screen{0.5f, 0.25f, 0.75f};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ScreenSettings::shaderProvidesScanlines(row.configuration), row.scanlines);
        EXPECT_EQ(ScreenSettings::shaderProvidesGlow(row.configuration), row.glow);
        EXPECT_EQ(screen.effectiveScanlineStrength(row.configuration), row.scanlines ? 0.0f : 0.5f);
        EXPECT_EQ(screen.effectiveGlowStrength(row.configuration), row.glow ? 0.0f : 0.75f);
        EXPECT_EQ(screen.applies(row.configuration), !(row.scanlines && row.glow));
    }
    // Applies only with an effective strength above zero (thickness alone does nothing; NaN is not above zero).
    EXPECT_FALSE((ScreenSettings{0, 0.5f, 0}.applies(std::nullopt)));
    EXPECT_TRUE((ScreenSettings{0, 0.5f, 0.2f}.applies(std::nullopt)));
    EXPECT_FALSE((ScreenSettings{nan, 0.5f, nan}.applies(std::nullopt)));
}

}  // namespace
}  // namespace tilvane
