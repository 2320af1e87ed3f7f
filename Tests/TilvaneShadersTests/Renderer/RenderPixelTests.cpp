// Pixels, sizes and alpha through the application's own shaders.
#include "Support/ProbeBundle.hpp"

#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"
#include "TilvaneShaders/ShaderPresetCatalog.hpp"

#include <gtest/gtest.h>


namespace tilvane {
namespace {

using namespace testing;  // the test support helpers
using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const Image& image)
{
    return Bytes(image.bytes().begin(), image.bytes().end());
}

// Every pixel a colour of its own: red from x, green from y, blue from both.
ImagePointer uniqueColors(int width, int height, std::uint8_t alpha = 255, AlphaMode mode = AlphaMode::premultiplied)
{
    return makePicture(
        width, height,
        [alpha](int x, int y) {
            return Pixel{std::uint8_t(x * 37), std::uint8_t(y * 53), std::uint8_t(x * 11 + y * 29), alpha};
        },
        mode);
}

// A straight-alpha picture with fully transparent pixels whose colour is `hidden`, and partly
// transparent ones elsewhere.
ImagePointer translucentPicture(std::uint8_t hidden)
{
    return makePicture(
        24, 18,
        [hidden](int x, int y) {
            if ((x / 3 + y / 3) % 3 == 0) return Pixel{hidden, hidden, hidden, 0};
            return Pixel{std::uint8_t(40 + x * 9), std::uint8_t(30 + y * 12), 200, std::uint8_t(50 + x * 8)};
        },
        AlphaMode::straight);
}

class RenderPixels : public ::testing::Test {
protected:
    static ShaderBundle bundle() { return ShaderBundle(TILVANE_SHADERS_BUNDLE); }

    // One renderer per test case: a bundle that cannot be made into one fails every case.
    ShaderRenderer renderer{bundle()};
};

TEST_F(RenderPixels, negativeKeepsRowOrderAndIsExact)
{
    const ImagePointer picture = uniqueColors(7, 5);
    const ImagePointer result = renderer.render(picture, configurationOf({activePass("negative")}), 0);
    Bytes expected = bytesOf(*picture);
    for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = i % 4 == 3 ? expected[i] : 255 - expected[i];
    EXPECT_EQ(result->alphaMode(), AlphaMode::premultiplied);
    EXPECT_EQ(bytesOf(*result), expected);
}

TEST_F(RenderPixels, withoutABezelAlphaIsMultipliedOnceAndTransparentPixelsStayDark)
{
    const ShaderConfiguration twice = configurationOf({activePass("negative"), activePass("negative")});
    for (const AlphaMode mode : {AlphaMode::premultiplied, AlphaMode::straight}) {
        SCOPED_TRACE(mode == AlphaMode::premultiplied ? "premultiplied input" : "straight input");
        const ImagePointer picture = uniqueColors(6, 4, 128, mode);
        const Bytes want = bytesOf(*picture->premultiplied());
        const Bytes got = bytesOf(*renderer.render(picture, twice, 0));
        for (std::size_t i = 0; i < got.size(); ++i) {
            // Round trip through straight colour: at most one step of rounding.
            ASSERT_NEAR(got[i], want[i], i % 4 == 3 ? 0 : 1) << "byte " << i;
        }
    }
    const ImagePointer transparent = Image::make(4, 4, Bytes(4 * 4 * 4, 0));
    EXPECT_EQ(bytesOf(*renderer.render(transparent, twice, 0)), Bytes(4 * 4 * 4, 0));

    // Noise never lights what is transparent: premultiplied colour never exceeds alpha.
    const Bytes noisy =
        bytesOf(*renderer.render(uniqueColors(24, 18, 90), configurationOf({ShaderPass("mnoise", 0.5f, {}, true)}), 0));
    for (std::size_t i = 0; i < noisy.size(); ++i)
        ASSERT_TRUE(i % 4 == 3 ? noisy[i] == 90 : noisy[i] <= 90) << "byte " << i;
    // crt spreads light to neighbours (bloom, fringing, ghosting), so hidden colours would bleed.
    const ShaderConfiguration crt = configurationOf({activePass("crt")});
    EXPECT_EQ(bytesOf(*renderer.render(translucentPicture(0), crt, 0)),
              bytesOf(*renderer.render(translucentPicture(255), crt, 0)));
}

TEST_F(RenderPixels, behindTheBezelThePictureIsOpaqueAndLooksAsIfLaidOnBlack)
{
    const ImagePointer translucent = translucentPicture(255);
    Bytes onBlack = bytesOf(*translucent->premultiplied());
    for (std::size_t i = 3; i < onBlack.size(); i += 4) onBlack[i] = 255;
    const ImagePointer expected = Image::make(24, 18, std::move(onBlack));
    for (const auto& passes : {std::vector<ShaderPass>{}, std::vector<ShaderPass>{activePass("crt")}}) {
        SCOPED_TRACE(passes.size() == 0 ? "bezel alone" : "crt behind the bezel");
        const ShaderConfiguration framed = configurationOf(passes, false, true);
        const Bytes wanted = bytesOf(*renderer.render(expected, framed, 0));
        for (std::size_t i = 3; i < wanted.size(); i += 4) ASSERT_EQ(wanted[i], 255);
        for (const ImagePointer& picture : {translucent, translucent->premultiplied()}) {
            EXPECT_EQ(bytesOf(*renderer.render(picture, framed, 0)), wanted)
                << "a half-transparent pixel is darkened once, a transparent one is black";
        }
    }
}

TEST_F(RenderPixels, everyBuiltInPresetKeepsOddSizesAndTwoRenderersGiveIdenticalBytes)
{
    ShaderRenderer other(bundle());
    const auto presets = loadShaderPresets(bundle().presetsFile());
    ASSERT_FALSE(presets.empty());
    for (const ShaderPreset& preset : presets) {
        for (const auto& [width, height] : {std::pair{1, 1}, {3, 5}, {7, 2}, {33, 17}, {48, 36}}) {
            SCOPED_TRACE(preset.id + " " + std::to_string(width) + "x" + std::to_string(height));
            const ImagePointer picture = uniqueColors(width, height, 200);
            const ImagePointer result = renderer.render(picture, preset);
            EXPECT_EQ(std::pair(result->width(), result->height()), std::pair(width, height));
            EXPECT_EQ(bytesOf(*result), bytesOf(*other.render(picture, preset)));
        }
    }
}

TEST_F(RenderPixels, nothingToDoGivesTheSameImageBack)
{
    const ImagePointer picture = uniqueColors(5, 5);
    EXPECT_EQ(renderer.render(picture, std::nullopt, ScreenSettings{}, 0, {.temporalHistory = true}), picture);
    const ShaderConfiguration idle =
        configurationOf({ShaderPass("crt", 0, {}, true), ShaderPass("negative", 1, {}, false),
                         ShaderPass("realisticPhosphor", -1, {}, true),
                         ShaderPass("glitchy", std::numeric_limits<float>::quiet_NaN(), {}, true)});
    EXPECT_EQ(renderer.render(picture, idle, ScreenSettings{}, 1, {.temporalHistory = true}), picture);

    // The scanlines and glow asked for are drawn by an active crt pass, which is off here.
    const ShaderConfiguration offCrt = configurationOf({ShaderPass("crt", 1, {}, false)});
    EXPECT_NE(renderer.render(picture, offCrt, ScreenSettings{0.5f, 0.5f, 0.5f}, 0), picture);
}

TEST_F(RenderPixels, extremeSettingsKeepEveryPixelFinite)
{
    // Zero divisors and huge gains everywhere; a NaN or infinity would come out black.
    const ImagePointer picture = Image::make(16, 12, Bytes(16 * 12 * 4, 255));
    const float huge = 1e30f;
    const ShaderConfiguration wild = configurationOf(
        {activePass("crt", {{"curveX", 0},
                            {"curveY", 0},
                            {"scanLinesPeriod", 0},
                            {"apertureGrillePeriod", 0},
                            {"vignetteSpread", 0},
                            {"vignetteBrightness", huge},
                            {"tintR", 1},
                            {"tintG", 1},
                            {"tintB", 1},
                            {"darkenMix", 0},
                            {"maskOutsideBounds", 0}}),
         activePass("realisticPhosphor", {{"brightness", huge},
                                          {"persistence", 0},
                                          {"virtualRows", 0},
                                          {"overdriveKnee", 1},
                                          {"overdrive", 1},
                                          {"horizontalSyncWidth", 0},
                                          {"bloom", huge}}),
         activePass("crtLottes", {{"scale", 0}, {"thin", 0}, {"blur", 0}, {"minVignette", 1}, {"warpStrength", 0}}),
         activePass("glitchy", {{"duration", 0}, {"amount", huge}})},
        true);
    for (const float time : {0.0f, 0.075f, 0.15f}) {
        const ImagePointer rendered =
            renderer.render(picture, wild, ScreenSettings{1, 1, 1}, time, {.temporalHistory = true});
        const auto result = rendered->bytes();  // a view into the image, which must outlive it
        std::size_t lit = 0;
        for (std::size_t i = 1; i < result.size(); i += 4) lit += result[i] > 0 ? 1 : 0;
        EXPECT_GT(lit, result.size() / 4 / 2) << "at " << time;
    }
}

}  // namespace
}  // namespace tilvane
