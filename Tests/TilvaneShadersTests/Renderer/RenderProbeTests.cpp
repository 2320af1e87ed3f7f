// Drives the renderer with probe shaders that write out what each draw receives.
#include "Support/ProbeBundle.hpp"

#include "TilvaneShaders/Model/UniformLists.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tilvane {
namespace {

using testing::bezelProbeRow;
using testing::bloomProbeRow;
using testing::effectProbeRow;
using testing::emissionProbeRow;
using testing::pixelAt;
using testing::quadAt;
using testing::probedBezelFlag;
using testing::probedSlot;
using testing::probeHeight;
using testing::probeWidth;
using testing::screenProbeRow;

class RenderProbe : public ::testing::Test {
protected:
    // Made in SetUp, not SetUpTestSuite: a renderer that cannot be made must fail each case,
    // never skip it.
    void SetUp() override
    {
        if (renderer == nullptr) {
            const auto bundle =
                testing::writeShaderBundle(testing::scratchFolder("probe-bundle"), testing::probeSources());
            renderer = new ShaderRenderer(bundle);
        }
        renderer->resetTemporalHistory();
    }
    static void TearDownTestSuite()
    {
        delete renderer;
        renderer = nullptr;
    }

    static ShaderConfiguration configuration(std::vector<ShaderPass> passes, bool motion = false, bool bezel = false)
    {
        ShaderConfiguration result;
        result.passes = std::move(passes);
        result.motion = motion;
        result.bezel.isOn = bezel;
        return result;
    }

    static ShaderPass phosphor(ShaderPass::Settings settings = {})
    {
        return ShaderPass("realisticPhosphor", 0.8f, std::move(settings), true);
    }

    static std::vector<float> slots(const Image& image, int firstRow, std::size_t count)
    {
        std::vector<float> values;
        for (std::size_t slot = 0; slot < count; ++slot) {
            values.push_back(probedSlot(image, firstRow, static_cast<int>(slot)));
        }
        return values;
    }

    // Frame count, previous emission read without the gate, source red, as the excitation wrote them.
    static std::array<std::uint8_t, 4> emission(const Image& image) { return pixelAt(image, 0, emissionProbeRow); }

    static inline ShaderRenderer* renderer = nullptr;
};

TEST_F(RenderProbe, effectPassesReceiveTheirWholeListBitForBit)
{
    const ImagePointer picture = testing::probePicture();
    struct Row {
        const char* name;
        ShaderPass pass;
        bool motion;
        float time;
    };
    const Row rows[] = {
        {"crt with motion", ShaderPass("crt", 0.7f, {{"flickerStrength", 0.5f}, {"curveX", 4.25f}}, true), true, 1.01f},
        {"crt still", ShaderPass("crt", 1, {{"flickerStrength", 0.5f}}, true), false, 3},
        {"glitchy", ShaderPass("glitchy", 0.3f, {{"duration", 2}, {"curveX", 9}}, true), true, 1.01f},
        {"crtLottes", ShaderPass("crtLottes", 1, {{"blur", -4}, {"mask", 0.1f}}, true), false, 0},
        {"mnoise", ShaderPass("mnoise", 0.25f, {{"amount", 3}}, true), true, 0.5f},
        {"negative", ShaderPass("negative", 0.5f, {}, true), false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ImagePointer result =
            renderer->render(picture, configuration({row.pass}, row.motion), row.time, false);
        const std::vector<float> expected = uniforms(row.pass, probeWidth, probeHeight, row.motion, row.time);
        EXPECT_EQ(slots(*result, effectProbeRow, expected.size()), expected);
        EXPECT_EQ(probedBezelFlag(*result, effectProbeRow), 0.0f);
        EXPECT_EQ(pixelAt(*result, 5, 9), pixelAt(*picture, 5, 9)) << "texture 0 is the pass's input";
    }
}

TEST_F(RenderProbe, bezelFlagIsSetOnEffectPassesAndCompositeOnlyWhenTheBezelApplies)
{
    const ImagePointer picture = testing::probePicture();
    for (const bool bezel : {false, true}) {
        SCOPED_TRACE(bezel);
        const ImagePointer effect = renderer->render(picture, configuration({ShaderPass("negative", 1, {}, true)}, false, bezel), 0, false);
        EXPECT_EQ(probedBezelFlag(*effect, effectProbeRow), bezel ? 1.0f : 0.0f);
        const ImagePointer chain = renderer->render(picture, configuration({phosphor()}, false, bezel), 0, false);
        EXPECT_EQ(probedBezelFlag(*chain, effectProbeRow), bezel ? 1.0f : 0.0f);
    }
}

TEST_F(RenderProbe, screenAndBezelPassesReceiveTheirListsAndTheScreensMipmaps)
{
    const ImagePointer picture = testing::probePicture();
    ShaderConfiguration framed = configuration({ShaderPass("glitchy", 1, {}, true)}, false, true);
    framed.bezel = BezelSettings{true, 2.0f, -1.0f, " #ff8000\n", 0.25f};
    const ScreenSettings screen{0.4f, 0.3f, 0.6f};

    const ImagePointer result = renderer->render(picture, framed, screen, 0, false);
    const std::vector<float> screenList = screenUniforms(screen, framed, probeWidth, probeHeight);
    const std::vector<float> bezelList = bezelUniforms(framed.bezel, probeWidth, probeHeight);
    EXPECT_EQ(slots(*result, screenProbeRow, screenList.size()), screenList);
    EXPECT_EQ(probedBezelFlag(*result, screenProbeRow), 0.0f);
    EXPECT_EQ(slots(*result, bezelProbeRow, bezelList.size()), bezelList);
    EXPECT_EQ(probedBezelFlag(*result, bezelProbeRow), 0.0f);
    EXPECT_EQ(probedBezelFlag(*result, effectProbeRow), 1.0f) << "the effect pass still ran before the screen pass";

    // The top mipmap level averages the whole screen: never the black of a missing chain.
    const auto top = pixelAt(*result, 0, 8);
    EXPECT_GT(top[1], 5);
    EXPECT_EQ(top[3], 255);
    EXPECT_EQ(pixelAt(*result, 11, 10), pixelAt(*picture, 11, 10));
}

TEST_F(RenderProbe, bezelAloneCopiesThePictureThroughCrtAtIntensityZero)
{
    const ImagePointer picture = testing::probePicture();
    const ImagePointer result = renderer->render(picture, configuration({ShaderPass("crt", 0, {}, true)}, true, true), 2.5f, true);
    const std::vector<float> expected = uniforms(ShaderPass("crt", 0, {}, true), probeWidth, probeHeight, false, 0);
    EXPECT_EQ(slots(*result, effectProbeRow, expected.size()), expected);
    EXPECT_EQ(probedBezelFlag(*result, effectProbeRow), 0.0f);
    for (int x = 0; x < probeWidth; ++x) {
        EXPECT_EQ(pixelAt(*result, x, 11)[3], 255) << "opaque behind a bezel";
    }
}

TEST_F(RenderProbe, phosphorChainBindsItsTexturesListsAndQuarterTargets)
{
    const ImagePointer picture = testing::probePicture();
    const ShaderPass pass = phosphor({{"bloomStyle", 1}, {"paletteLinked", 1}, {"virtualRows", 120}});
    const ImagePointer result = renderer->render(picture, configuration({pass}), 0, false);

    const std::vector<float> expected = phosphorUniforms(pass, probeWidth, probeHeight, PhosphorFrame{});
    EXPECT_EQ(slots(*result, effectProbeRow, expected.size()), expected);
    EXPECT_EQ(probedSlot(*result, effectProbeRow, 26), 0.0f) << "paletteLinked is never sent";

    const auto emitted = emission(*result);
    EXPECT_EQ(emitted[0], 1) << "one frame excited";
    EXPECT_EQ(emitted[1], 0) << "fresh emission textures start cleared";
    EXPECT_EQ(emitted[2], pixelAt(*picture, 0, 0)[0]) << "excitation reads the source at unit 0";

    const int quarterWidth = probeWidth / 4;
    const int quarterHeight = probeHeight / 4;
    using Bytes = std::array<std::uint8_t, 4>;
    const auto byte = [](int value) { return static_cast<std::uint8_t>(value); };
    EXPECT_EQ(quadAt(*result, 0, bloomProbeRow), (Bytes{byte(quarterWidth), byte(quarterHeight), 1, 3}))
        << "vertical pass: quarter A's size, direction (0, 1), step 1, halation";
    EXPECT_EQ(quadAt(*result, 1, bloomProbeRow), (Bytes{byte(probeWidth), byte(probeHeight), 2, 9}))
        << "horizontal pass: the emission's size, direction (1, 0), step 4, halation";
    EXPECT_EQ(quadAt(*result, 2, bloomProbeRow),
              (Bytes{byte(quarterWidth), byte(quarterHeight), byte(quarterWidth), byte(quarterHeight)}))
        << "composite unit 2 holds quarter B, which was drawn from quarter A";

    for (int y = emissionProbeRow + 2; y < probeHeight; ++y) {
        for (int x = 0; x < probeWidth; ++x) {
            ASSERT_EQ(pixelAt(*result, x, y), pixelAt(*picture, x, y)) << "composite covers every pixel at " << x << "," << y;
        }
    }
}

TEST_F(RenderProbe, quarterTexturesTakeTheWholeQuotientAndAtLeastOnePixel)
{
    std::vector<std::uint8_t> pixels(7 * 9 * 4, 200);
    const ImagePointer narrow = Image::make(7, 9, std::move(pixels));
    const ImagePointer result = renderer->render(narrow, configuration({phosphor()}), 0, false);
    EXPECT_EQ(quadAt(*result, 2, bloomProbeRow)[0], 1);
    EXPECT_EQ(quadAt(*result, 2, bloomProbeRow)[1], 2);
}

TEST_F(RenderProbe, animatedFramesPingPongTheEmissionAndReportElapsedTime)
{
    const ImagePointer picture = testing::probePicture();
    const ShaderConfiguration animated = configuration({phosphor()}, true);

    const ImagePointer first = renderer->render(picture, animated, 1.0f, true);
    EXPECT_EQ(probedSlot(*first, effectProbeRow, 23), 0.0f);
    EXPECT_EQ(probedSlot(*first, effectProbeRow, 3), 0.0f);
    EXPECT_EQ(probedSlot(*first, effectProbeRow, 2), 1.0f);
    EXPECT_EQ(probedSlot(*first, effectProbeRow, 22), 1.0f);
    EXPECT_EQ(emission(*first)[0], 1);
    auto history = renderer->phosphorHistory();
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history.at(0), (PhosphorHistoryState{probeWidth, probeHeight, 1, 1.0f}));
    EXPECT_EQ(renderer->historyConfiguration(), animated);

    const ImagePointer second = renderer->render(picture, animated, 1.075f, true);
    EXPECT_EQ(probedSlot(*second, effectProbeRow, 23), 1.0f);
    EXPECT_EQ(probedSlot(*second, effectProbeRow, 3), 1.075f - 1.0f);
    EXPECT_EQ(emission(*second)[0], 2) << "the second frame read the first frame's emission";
    EXPECT_EQ(renderer->phosphorHistory().at(0), (PhosphorHistoryState{probeWidth, probeHeight, 0, 1.075f}));

    const ImagePointer third = renderer->render(picture, animated, 1.15f, true);
    EXPECT_EQ(emission(*third)[0], 3);
    EXPECT_EQ(renderer->phosphorHistory().at(0).current, 1);
}

TEST_F(RenderProbe, historyRulesForTimeSizeAndConfiguration)
{
    const ImagePointer picture = testing::probePicture();
    const ShaderConfiguration animated = configuration({phosphor()}, true);
    renderer->render(picture, animated, 2.0f, true);

    // An earlier time reuses the textures but knows no previous frame, and stores its own time.
    const ImagePointer earlier = renderer->render(picture, animated, 1.5f, true);
    EXPECT_EQ(probedSlot(*earlier, effectProbeRow, 23), 0.0f);
    EXPECT_EQ(probedSlot(*earlier, effectProbeRow, 3), 0.0f);
    EXPECT_EQ(renderer->phosphorHistory().at(0), (PhosphorHistoryState{probeWidth, probeHeight, 0, 1.5f}));

    // A time that is not a number counts as 0 and is stored as 0.
    const ImagePointer nan = renderer->render(picture, animated, std::numeric_limits<float>::quiet_NaN(), true);
    EXPECT_EQ(probedSlot(*nan, effectProbeRow, 2), 0.0f);
    EXPECT_EQ(probedSlot(*nan, effectProbeRow, 23), 0.0f);
    EXPECT_EQ(renderer->phosphorHistory().at(0).time, 0.0f);

    // A new size replaces the textures, with no previous frame known.
    const ImagePointer larger = Image::make(probeWidth + 4, probeHeight, std::vector<std::uint8_t>((probeWidth + 4) * probeHeight * 4, 128));
    const ImagePointer resized = renderer->render(larger, animated, 0.5f, true);
    EXPECT_EQ(probedSlot(*resized, effectProbeRow, 23), 0.0f);
    EXPECT_EQ(emission(*resized)[1], 0) << "the new textures start cleared";
    EXPECT_EQ(renderer->phosphorHistory().at(0), (PhosphorHistoryState{probeWidth + 4, probeHeight, 1, 0.5f}));

    // Another configuration drops the history and starts over.
    ShaderConfiguration changed = animated;
    changed.passes[0].intensity = 0.9f;
    const ImagePointer restarted = renderer->render(larger, changed, 0.6f, true);
    EXPECT_EQ(probedSlot(*restarted, effectProbeRow, 23), 0.0f);
    EXPECT_EQ(renderer->historyConfiguration(), changed);
    EXPECT_EQ(renderer->phosphorHistory().at(0).current, 1);

    renderer->resetTemporalHistory();
    EXPECT_TRUE(renderer->phosphorHistory().empty());
    EXPECT_FALSE(renderer->historyConfiguration().has_value());
}

TEST_F(RenderProbe, stillFramesAndFramesWithoutHistoryNeitherReadNorWriteIt)
{
    const ImagePointer picture = testing::probePicture();
    const ShaderConfiguration animated = configuration({phosphor()}, true);
    renderer->render(picture, animated, 1.0f, true);
    const auto stored = renderer->phosphorHistory();

    const ImagePointer still = renderer->render(picture, configuration({phosphor()}, false), 1.1f, true);
    EXPECT_EQ(probedSlot(*still, effectProbeRow, 2), 0.0f);
    EXPECT_EQ(probedSlot(*still, effectProbeRow, 22), 0.0f);
    EXPECT_EQ(probedSlot(*still, effectProbeRow, 23), 0.0f);
    EXPECT_EQ(emission(*still)[1], 0) << "a still frame uses cleared textures of its own";

    const ImagePointer withoutHistory = renderer->render(picture, animated, 1.2f, false);
    EXPECT_EQ(probedSlot(*withoutHistory, effectProbeRow, 2), 1.2f);
    EXPECT_EQ(probedSlot(*withoutHistory, effectProbeRow, 23), 0.0f);
    EXPECT_EQ(renderer->phosphorHistory(), stored);

    const ImagePointer next = renderer->render(picture, animated, 1.3f, true);
    EXPECT_EQ(emission(*next)[0], 2) << "the stored entry still continues the animation";
}

TEST_F(RenderProbe, eachPhosphorPassKeepsItsOwnEntryKeyedByPosition)
{
    const ImagePointer picture = testing::probePicture();
    ShaderConfiguration animated =
        configuration({ShaderPass("crt", 1, {}, false), phosphor(), ShaderPass("negative", 1, {}, true), phosphor()}, true);
    renderer->render(picture, animated, 1.0f, true);
    const auto history = renderer->phosphorHistory();
    ASSERT_EQ(history.size(), 2u);
    EXPECT_TRUE(history.contains(1));
    EXPECT_TRUE(history.contains(3));
}

}  // namespace
}  // namespace tilvane
