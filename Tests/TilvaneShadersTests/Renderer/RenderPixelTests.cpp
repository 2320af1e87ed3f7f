// Pixels, sizes and alpha through the application's own shaders.
#include "Support/ProbeBundle.hpp"

#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"
#include "TilvaneShaders/ShaderPresetCatalog.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <thread>

namespace tilvane {
namespace {

using testing::pixelAt;

class RenderPixels : public ::testing::Test {
protected:
    // Made in SetUp, not SetUpTestSuite: a renderer that cannot be made must fail each case,
    // never skip it.
    void SetUp() override
    {
        if (renderer == nullptr) {
            renderer = new ShaderRenderer(bundle());
        }
    }
    static void TearDownTestSuite()
    {
        delete renderer;
        renderer = nullptr;
    }

    static ShaderBundle bundle() { return ShaderBundle(TILVANE_SHADERS_BUNDLE); }

    static ShaderConfiguration configuration(std::vector<ShaderPass> passes, bool bezel = false)
    {
        ShaderConfiguration result;
        result.passes = std::move(passes);
        result.bezel.isOn = bezel;
        return result;
    }

    // Every pixel a colour of its own: red from x, green from y, blue from both.
    static ImagePointer uniqueColors(int width, int height, std::uint8_t alpha = 255,
                                     AlphaMode mode = AlphaMode::premultiplied)
    {
        std::vector<std::uint8_t> pixels;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const auto straight = std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(x * 37 % 256),
                                                                  static_cast<std::uint8_t>(y * 53 % 256),
                                                                  static_cast<std::uint8_t>((x * 11 + y * 29) % 256)};
                for (std::uint8_t channel : straight) {
                    pixels.push_back(mode == AlphaMode::premultiplied ? premultiply(channel, alpha) : channel);
                }
                pixels.push_back(alpha);
            }
        }
        return Image::make(width, height, std::move(pixels), mode);
    }

    static inline ShaderRenderer* renderer = nullptr;
};

TEST_F(RenderPixels, negativeKeepsRowOrderAndIsExact)
{
    const ImagePointer picture = uniqueColors(7, 5);
    const ImagePointer result = renderer->render(picture, configuration({ShaderPass("negative", 1, {}, true)}), 0, false);
    ASSERT_EQ(result->width(), 7);
    ASSERT_EQ(result->height(), 5);
    EXPECT_EQ(result->alphaMode(), AlphaMode::premultiplied);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            const auto in = pixelAt(*picture, x, y);
            const auto out = pixelAt(*result, x, y);
            for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(out[c], 255 - in[c]) << "pixel " << x << "," << y << " channel " << c;
            }
            ASSERT_EQ(out[3], 255);
        }
    }
}

TEST_F(RenderPixels, partlyTransparentPixelsAreMultipliedByAlphaOnce)
{
    const ShaderConfiguration twice =
        configuration({ShaderPass("negative", 1, {}, true), ShaderPass("negative", 1, {}, true)});
    for (const AlphaMode mode : {AlphaMode::premultiplied, AlphaMode::straight}) {
        SCOPED_TRACE(mode == AlphaMode::premultiplied ? "premultiplied input" : "straight input");
        const ImagePointer picture = uniqueColors(6, 4, 128, mode);
        const ImagePointer expected = picture->premultiplied();
        const ImagePointer result = renderer->render(picture, twice, 0, false);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 6; ++x) {
                const auto want = pixelAt(*expected, x, y);
                const auto got = pixelAt(*result, x, y);
                for (int c = 0; c < 3; ++c) {
                    // Round trip through straight colour: at most one step of rounding.
                    ASSERT_NEAR(got[c], want[c], 1) << "pixel " << x << "," << y;
                }
                ASSERT_EQ(got[3], 128);
            }
        }
    }

    std::vector<std::uint8_t> clear(4 * 4 * 4, 0);
    const ImagePointer transparent = Image::make(4, 4, std::move(clear));
    const ImagePointer result = renderer->render(transparent, twice, 0, false);
    for (std::uint8_t byte : result->bytes()) {
        ASSERT_EQ(byte, 0);
    }
}

TEST_F(RenderPixels, theBezelMakesTheResultOpaque)
{
    const ImagePointer picture = uniqueColors(24, 18, 90);
    const ImagePointer framed = renderer->render(picture, configuration({ShaderPass("mnoise", 0.5f, {}, true)}, true), 0, false);
    for (std::size_t i = 3; i < framed->bytes().size(); i += 4) {
        ASSERT_EQ(framed->bytes()[i], 255);
    }
    const ImagePointer unframed = renderer->render(picture, configuration({ShaderPass("mnoise", 0.5f, {}, true)}), 0, false);
    for (std::size_t i = 0; i < unframed->bytes().size(); i += 4) {
        ASSERT_EQ(unframed->bytes()[i + 3], 90);
        for (std::size_t c = 0; c < 3; ++c) {
            ASSERT_LE(unframed->bytes()[i + c], 90) << "premultiplied colour never exceeds alpha";
        }
    }
}

// A straight-alpha picture with some fully transparent pixels whose colour is `hidden`, and
// partly transparent ones elsewhere.
ImagePointer translucentPicture(std::uint8_t hidden)
{
    constexpr int width = 24;
    constexpr int height = 18;
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool clear = (x / 3 + y / 3) % 3 == 0;
            pixels.insert(pixels.end(), {clear ? hidden : static_cast<std::uint8_t>(40 + x * 9),
                                         clear ? hidden : static_cast<std::uint8_t>(30 + y * 12), clear ? hidden : 200,
                                         clear ? std::uint8_t{0} : static_cast<std::uint8_t>(50 + x * 8)});
        }
    }
    return Image::make(width, height, std::move(pixels), AlphaMode::straight);
}

// The same picture laid on black and made opaque.
ImagePointer overBlack(const Image& picture)
{
    const auto premultiplied = picture.premultiplied()->bytes();
    std::vector<std::uint8_t> pixels(premultiplied.begin(), premultiplied.end());
    for (std::size_t i = 3; i < pixels.size(); i += 4) {
        pixels[i] = 255;
    }
    return Image::make(picture.width(), picture.height(), std::move(pixels));
}

TEST_F(RenderPixels, behindTheBezelThePictureLooksAsIfLaidOnBlack)
{
    const ImagePointer translucent = translucentPicture(255);
    const ImagePointer expected = overBlack(*translucent);
    for (const auto& [name, passes] : std::vector<std::pair<std::string, std::vector<ShaderPass>>>{
             {"bezel alone", {}}, {"crt behind the bezel", {ShaderPass("crt", 1, {}, true)}}}) {
        SCOPED_TRACE(name);
        const ShaderConfiguration framed = configuration(passes, true);
        const ImagePointer wanted = renderer->render(expected, framed, 0, false);
        for (const ImagePointer& picture : {translucent, translucent->premultiplied()}) {
            const ImagePointer result = renderer->render(picture, framed, 0, false);
            ASSERT_TRUE(std::ranges::equal(result->bytes(), wanted->bytes()))
                << "a half-transparent pixel is darkened once, a transparent one is black";
        }
    }
}

TEST_F(RenderPixels, coloursHiddenUnderZeroAlphaNeverShow)
{
    // crt spreads light to neighbours (bloom, fringing, ghosting), so hidden colours would bleed.
    const ShaderConfiguration crt = configuration({ShaderPass("crt", 1, {}, true)});
    const ImagePointer black = renderer->render(translucentPicture(0), crt, 0, false);
    const ImagePointer white = renderer->render(translucentPicture(255), crt, 0, false);
    EXPECT_TRUE(std::ranges::equal(black->bytes(), white->bytes()));
}

TEST_F(RenderPixels, everyBuiltInPresetKeepsOddSizes)
{
    const auto presets = loadShaderPresets(bundle().presetsFile());
    ASSERT_FALSE(presets.empty());
    const std::pair<int, int> sizes[] = {{1, 1}, {3, 5}, {7, 2}, {33, 17}};
    for (const ShaderPreset& preset : presets) {
        for (const auto& [width, height] : sizes) {
            SCOPED_TRACE(preset.id + " " + std::to_string(width) + "x" + std::to_string(height));
            const ImagePointer result = renderer->render(uniqueColors(width, height), preset);
            ASSERT_TRUE(result);
            EXPECT_EQ(result->width(), width);
            EXPECT_EQ(result->height(), height);
        }
    }
}

TEST_F(RenderPixels, nothingToDoGivesTheSameImageBack)
{
    const ImagePointer picture = uniqueColors(5, 5);
    const ScreenSettings neutral;
    EXPECT_EQ(renderer->render(picture, std::nullopt, neutral, 0, true), picture);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const ShaderConfiguration idle = configuration({ShaderPass("crt", 0, {}, true), ShaderPass("negative", 1, {}, false),
                                                    ShaderPass("realisticPhosphor", -1, {}, true),
                                                    ShaderPass("glitchy", nan, {}, true)});
    EXPECT_EQ(renderer->render(picture, idle, neutral, 1, true), picture);

    // The scanlines and glow asked for are drawn by an active crt pass, which is off here.
    const ScreenSettings provided{0.5f, 0.5f, 0.5f};
    const ShaderConfiguration offCrt = configuration({ShaderPass("crt", 1, {}, false)});
    EXPECT_NE(renderer->render(picture, offCrt, provided, 0, false), picture);
}

TEST_F(RenderPixels, extremeSettingsKeepEveryPixelFinite)
{
    // Zero divisors and huge gains everywhere; a NaN or infinity would come out black.
    std::vector<std::uint8_t> white(16 * 12 * 4, 255);
    const ImagePointer picture = Image::make(16, 12, std::move(white));
    const float huge = 1e30f;
    ShaderConfiguration wild = configuration(
        {ShaderPass("crt", 1, {{"curveX", 0}, {"curveY", 0}, {"scanLinesPeriod", 0}, {"apertureGrillePeriod", 0},
                               {"vignetteSpread", 0}, {"vignetteBrightness", huge}, {"tintR", 1}, {"tintG", 1},
                               {"tintB", 1}, {"darkenMix", 0}, {"maskOutsideBounds", 0}},
                    true),
         ShaderPass("realisticPhosphor", 1, {{"brightness", huge}, {"persistence", 0}, {"virtualRows", 0},
                                             {"overdriveKnee", 1}, {"overdrive", 1}, {"horizontalSyncWidth", 0},
                                             {"bloom", huge}},
                    true),
         ShaderPass("crtLottes", 1, {{"scale", 0}, {"thin", 0}, {"blur", 0}, {"minVignette", 1}, {"warpStrength", 0}},
                    true),
         ShaderPass("glitchy", 1, {{"duration", 0}, {"amount", huge}}, true)});
    wild.motion = true;
    for (const float time : {0.0f, 0.075f, 0.15f}) {
        const ImagePointer result = renderer->render(picture, wild, ScreenSettings{1, 1, 1}, time, true);
        std::size_t lit = 0;
        for (std::size_t i = 0; i < result->bytes().size(); i += 4) {
            lit += result->bytes()[i + 1] > 0 ? 1 : 0;
        }
        EXPECT_GT(lit, result->bytes().size() / 4 / 2) << "at " << time;
    }
}

TEST_F(RenderPixels, twoRenderersGiveIdenticalBytes)
{
    ShaderRenderer other(bundle());
    const auto presets = loadShaderPresets(bundle().presetsFile());
    const ImagePointer picture = uniqueColors(48, 36, 200);
    for (const ShaderPreset& preset : presets) {
        SCOPED_TRACE(preset.id);
        const ImagePointer a = renderer->render(picture, preset);
        const ImagePointer b = other.render(picture, preset);
        EXPECT_TRUE(std::ranges::equal(a->bytes(), b->bytes()));
    }
}

TEST_F(RenderPixels, callersOnManyThreadsEachGetTheirOwnResult)
{
    const ShaderConfiguration negative = configuration({ShaderPass("negative", 1, {}, true)});
    std::vector<ImagePointer> pictures;
    for (int i = 0; i < 6; ++i) {
        pictures.push_back(uniqueColors(5 + i, 4 + i));
    }
    std::vector<ImagePointer> results(pictures.size());
    {
        std::vector<std::jthread> callers;
        for (std::size_t i = 0; i < pictures.size(); ++i) {
            callers.emplace_back([&, i] {
                for (int round = 0; round < 5; ++round) {
                    results[i] = renderer->render(pictures[i], negative, 0, false);
                }
            });
        }
    }
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        ASSERT_EQ(results[i]->width(), pictures[i]->width());
        EXPECT_EQ(255 - pixelAt(*pictures[i], 2, 3)[1], pixelAt(*results[i], 2, 3)[1]);
    }
}

}  // namespace
}  // namespace tilvane
