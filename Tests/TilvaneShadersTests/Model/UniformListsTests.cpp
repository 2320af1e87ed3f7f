#include "TilvaneShaders/Model/UniformLists.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace tilvane {
namespace {

using List = std::vector<float>;

// Every key an effect reads holds its own value, so a slot shifted by one shows.
ShaderPass passWith(const char* effect, float intensity, ShaderPass::Settings settings)
{
    return ShaderPass(effect, intensity, std::move(settings), true);
}

TEST(EffectUniforms, CrtGoldenList)
{
    const auto pass = passWith("crt", 0.75f,
                               {{"curveX", 104}, {"curveY", 105}, {"colorFringingSpread", 106}, {"ghostingSpread", 107},
                                {"ghostingStrength", 108}, {"darkenMix", 109}, {"vignetteSpread", 110},
                                {"vignetteBrightness", 111}, {"tintR", 112}, {"tintG", 113}, {"tintB", 114},
                                {"scanLinesStrength", 115}, {"scanLinesVariance", 116}, {"scanLinesPeriod", 117},
                                {"apertureGrilleStrength", 118}, {"apertureGrillePeriod", 119},
                                {"flickerStrength", 120}, {"flickerFrequency", 121}, {"noiseContentStrength", 122},
                                {"noiseUniformStrength", 123}, {"bloomSpread", 124}, {"bloomStrength", 125},
                                {"backgroundOpacity", 126}, {"maskOutsideBounds", 127}, {"duration", -1},
                                {"scale", -1}, {"CurveX", -1}});
    EXPECT_EQ(uniforms(pass, 640, 480, true, 2.5f),
              (List{640, 480, 2.5f, 0.75f, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113,
                    114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127}));
}

TEST(EffectUniforms, CrtDefaultsFollowMotion)
{
    const auto pass = passWith("crt", 1, {});
    EXPECT_EQ(uniforms(pass, 8, 6, true, 1.5f),
              (List{8, 6, 1.5f, 1, 13, 11, 0.1f, 0.75f, 0.1f, 0.4f, 0.4f, 20, 0.93f, 1, 0.96f, 0.2f, 0.35f, 4, 0.3f, 2,
                    0.04f, 15, 0.25f, 0.25f, 8, 0.004f, 1, 1}));
    const auto still = uniforms(pass, 8, 6, false, 1.5f);
    EXPECT_EQ(still[2], 0.0f) << "no time without motion";
    EXPECT_EQ(still[20], 0.0f) << "no flicker without motion";
}

TEST(EffectUniforms, CrtFlickerOnlyWithMotion)
{
    const auto pass = passWith("crt", 1, {{"flickerStrength", 0.5f}});
    EXPECT_EQ(uniforms(pass, 4, 4, false, 3)[20], 0.0f);
    EXPECT_EQ(uniforms(pass, 4, 4, true, 3)[20], 0.5f);
}

TEST(EffectUniforms, GlitchyGoldenListAndFrameSlot)
{
    const auto pass = passWith("glitchy", 0.4f, {{"duration", 25}, {"amount", 0.9f}, {"curveX", 7}});
    EXPECT_EQ(uniforms(pass, 320, 200, true, 1.01f), (List{320, 200, 1.01f, 60, 25, 0.9f, 0.4f}));
    EXPECT_EQ(uniforms(pass, 320, 200, true, 2.5f)[3], 150.0f);
    EXPECT_EQ(uniforms(pass, 320, 200, false, 1.01f), (List{320, 200, 0, 0, 25, 0.9f, 0.4f}));
    EXPECT_EQ(uniforms(passWith("glitchy", 1, {}), 2, 2, false, 0), (List{2, 2, 0, 0, 10, 0.1f, 1}));
}

TEST(EffectUniforms, CrtLottesGoldenList)
{
    const auto pass = passWith("crtLottes", 0.6f,
                               {{"scale", 202}, {"warpStrength", 203}, {"minVignette", 204}, {"thin", 205},
                                {"blur", 206}, {"mask", 207}, {"amount", -1}});
    EXPECT_EQ(uniforms(pass, 100, 50, true, 9), (List{100, 50, 202, 203, 204, 205, 206, 207, 0.6f}));
    EXPECT_EQ(uniforms(passWith("crtLottes", 1, {}), 100, 50, true, 9),
              (List{100, 50, 0.33333334f, 1, 0.5f, 0.75f, -2.75f, 0.65f, 1}));
}

TEST(EffectUniforms, EffectsWithoutKeysIgnoreSettings)
{
    const ShaderPass::Settings everything{{"curveX", 5}, {"amount", 5}, {"scale", 5}, {"bloom", 5}};
    EXPECT_EQ(uniforms(passWith("mnoise", 0.3f, everything), 16, 9, true, 4.25f), (List{16, 9, 4.25f, 0.3f}));
    EXPECT_EQ(uniforms(passWith("mnoise", 0.3f, everything), 16, 9, false, 4.25f), (List{16, 9, 0, 0.3f}));
    EXPECT_EQ(uniforms(passWith("negative", 0.2f, everything), 16, 9, true, 4.25f), (List{16, 9, 0.2f}));
    EXPECT_EQ(uniforms(passWith("vhsTape", 0.1f, everything), 16, 9, true, 4.25f), (List{16, 9, 0.1f}));
}

TEST(EffectUniforms, ValuesOutsideTheInspectorsRangesAreSentUnchanged)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const auto list = uniforms(passWith("crt", -2, {{"curveX", 1000}, {"scanLinesStrength", -4}, {"curveY", nan}}), 1, 1,
                               true, 0);
    EXPECT_EQ(list[3], -2.0f);
    EXPECT_EQ(list[4], 1000.0f);
    EXPECT_EQ(list[15], -4.0f);
    EXPECT_TRUE(std::isnan(list[5]));
}

TEST(PhosphorUniforms, GoldenListWithTheFramesSlots)
{
    const auto pass = passWith(
        "realisticPhosphor", 0.9f,
        {{"phosphorR", 305}, {"phosphorG", 306}, {"phosphorB", 307}, {"backgroundR", 308}, {"backgroundG", 309},
         {"backgroundB", 310}, {"virtualRows", 311}, {"scanStrength", 312}, {"bloom", 313}, {"persistence", 314},
         {"noise", 315}, {"flicker", 316}, {"jitter", 317}, {"curvature", 318}, {"rasterMode", 319},
         {"brightness", 320}, {"maskStrength", 321}, {"rollingStrength", 324}, {"rollingSpeed", 325},
         {"paletteLinked", 326}, {"overdrive", 327}, {"overdriveKnee", 328}, {"horizontalSync", 329},
         {"horizontalSyncSpeed", 330}, {"horizontalSyncWidth", 331}, {"bloomStyle", 332}, {"phosphor", -1},
         {"curveX", -1}});
    const PhosphorFrame frame{true, 1.25f, true, 0.075f};
    EXPECT_EQ(phosphorUniforms(pass, 256, 192, frame),
              (List{256, 192, 1.25f, 0.075f, 0.9f, 305, 306, 307, 308, 309, 310, 311, 312, 313, 314, 315, 316,
                    317, 318, 319, 320, 321, 1, 1, 324, 325, 0, 327, 328, 329, 330, 331, 332}));
}

TEST(PhosphorUniforms, DefaultsAndAStillFrame)
{
    const auto pass = passWith("realisticPhosphor", 1, {{"paletteLinked", 1}});
    const PhosphorFrame still{false, 3, false, 0.5f};
    const auto list = phosphorUniforms(pass, 10, 20, still);
    ASSERT_EQ(list.size(), phosphorUniformCount);
    EXPECT_EQ(list, (List{10, 20, 0, 0, 1, 0, 0.8f, 0.4f, 0, 0.02f, 0.09f, 400, 0.35f, 0.65f, 0.12f, 0.03f, 0.02f,
                          0.01f, 0.12f, 1, 1.1f, 0.25f, 0, 0, 0.35f, 0.16f, 0, 0, 0.2f, 0, 0.12f, 0.012f, 0}));

    const PhosphorFrame firstAnimated{true, 3, false, 0.5f};
    const auto first = phosphorUniforms(pass, 10, 20, firstAnimated);
    EXPECT_EQ(first[2], 3.0f);
    EXPECT_EQ(first[3], 0.0f) << "no elapsed time before a previous frame is known";
    EXPECT_EQ(first[22], 1.0f);
    EXPECT_EQ(first[23], 0.0f);
}

TEST(ScreenUniforms, SendEffectiveStrengthsAndTheStoredThickness)
{
    const ScreenSettings screen{0.6f, 0.3f, 0.4f};
    EXPECT_EQ(screenUniforms(screen, std::nullopt, 64, 32), (List{64, 32, 0.6f, 0.3f, 0.4f}));

    const ShaderConfiguration crtWithoutScanlines{{passWith("crt", 1, {{"scanLinesStrength", 0}})}, false, {}};
    EXPECT_EQ(screenUniforms(screen, crtWithoutScanlines, 64, 32), (List{64, 32, 0.6f, 0.3f, 0}));

    const ShaderConfiguration lottes{{passWith("crtLottes", 1, {})}, false, {}};
    EXPECT_EQ(screenUniforms(screen, lottes, 64, 32), (List{64, 32, 0, 0.3f, 0}));
}

}  // namespace
}  // namespace tilvane
