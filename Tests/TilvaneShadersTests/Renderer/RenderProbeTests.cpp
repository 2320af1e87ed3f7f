// Drives the renderer with probe shaders that write out what each draw receives.
#include "Support/ProbeBundle.hpp"

#include "TilvaneShaders/Model/UniformLists.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

#include <gtest/gtest.h>


namespace tilvane {
namespace {

using namespace testing;  // the probe helpers

// Frame count, previous emission read without the gate, source red, as the excitation wrote them.
std::array<std::uint8_t, 4> emission(const Image& image)
{
    return pixelAt(image, 0, emissionProbeRow);
}

ShaderPass phosphor(ShaderPass::Settings settings = {})
{
    return ShaderPass("realisticPhosphor", 0.8f, std::move(settings), true);
}

// Slots 2, 3, 22 and 23 of the phosphor list: time, elapsed time, animated, previous frame known.
using Frame = std::array<float, 4>;
Frame frameSlots(const Image& image)
{
    return {probedSlot(image, effectProbeRow, 2), probedSlot(image, effectProbeRow, 3),
            probedSlot(image, effectProbeRow, 22), probedSlot(image, effectProbeRow, 23)};
}

// Whether a probe wrote exactly `expected` in the rows starting at firstRow.
void expectProbed(const Image& image, int firstRow, const std::vector<float>& expected)
{
    EXPECT_EQ(probedSlots(image, firstRow, expected.size()), expected);
}

class RenderProbe : public ::testing::Test {
protected:
    // One renderer per test case: a bundle that cannot be made into one fails every case.
    ShaderRenderer renderer{writeShaderBundle(scratchFolder("probe-bundle"), probeSources())};
    const ImagePointer picture = probePicture();
};

TEST_F(RenderProbe, effectPassesReceiveTheirWholeListBitForBit)
{
    struct Row {
        const char* name;
        ShaderPass pass;
        bool motion;
        float time;
    };
    const Row rows[] = {
        {"crt with motion", ShaderPass("crt", 0.7f, {{"flickerStrength", 0.5f}, {"curveX", 4.25f}}, true), true, 1.01f},
        {"crt still", activePass("crt", {{"flickerStrength", 0.5f}}), false, 3},
        {"glitchy", ShaderPass("glitchy", 0.3f, {{"duration", 2}, {"curveX", 9}}, true), true, 1.01f},
        {"crtLottes", activePass("crtLottes", {{"blur", -4}, {"mask", 0.1f}}), false, 0},
        {"mnoise", ShaderPass("mnoise", 0.25f, {{"amount", 3}}, true), true, 0.5f},
        {"negative", ShaderPass("negative", 0.5f, {}, true), false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ImagePointer result = renderer.render(picture, configurationOf({row.pass}, row.motion), row.time);
        expectProbed(*result, effectProbeRow, uniforms(row.pass, probeWidth, probeHeight, row.motion, row.time));
        EXPECT_EQ(probedBezelFlag(*result, effectProbeRow), 0.0f);
        EXPECT_EQ(pixelAt(*result, 5, 9), pixelAt(*picture, 5, 9)) << "texture 0 is the pass's input";
    }
}

TEST_F(RenderProbe, screenAndBezelPassesReceiveTheirListsAndTheScreensMipmaps)
{
    ShaderConfiguration framed = configurationOf({activePass("glitchy")});
    framed.bezel = BezelSettings{true, 2.0f, -1.0f, " #ff8000\n", 0.25f};
    const ScreenSettings screen{0.4f, 0.3f, 0.6f};
    const ImagePointer result = renderer.render(picture, framed, screen, 0);
    expectProbed(*result, screenProbeRow, screenUniforms(screen, framed, probeWidth, probeHeight));
    EXPECT_EQ(probedBezelFlag(*result, screenProbeRow), 0.0f);
    expectProbed(*result, bezelProbeRow, bezelUniforms(framed.bezel, probeWidth, probeHeight));
    EXPECT_EQ(probedBezelFlag(*result, bezelProbeRow), 0.0f);
    EXPECT_EQ(probedBezelFlag(*result, effectProbeRow), 1.0f) << "the effect pass still ran before the screen pass";
    const ImagePointer framedPhosphor = renderer.render(picture, configurationOf({phosphor()}, false, true), 0);
    EXPECT_EQ(probedBezelFlag(*framedPhosphor, effectProbeRow), 1.0f) << "the phosphor composite knows the bezel too";
    // The top mipmap level averages the whole screen: never the black of a missing chain.
    EXPECT_GT(pixelAt(*result, 0, 8)[1], 5);
    EXPECT_EQ(pixelAt(*result, 0, 8)[3], 255);
    EXPECT_EQ(pixelAt(*result, 11, 10), pixelAt(*picture, 11, 10));
}

TEST_F(RenderProbe, bezelAloneCopiesThePictureThroughCrtAtIntensityZero)
{
    const ShaderPass copy("crt", 0, {}, true);
    const ImagePointer result =
        renderer.render(picture, configurationOf({copy}, true, true), 2.5f, {.temporalHistory = true});
    expectProbed(*result, effectProbeRow, uniforms(copy, probeWidth, probeHeight, false, 0));
    EXPECT_EQ(probedBezelFlag(*result, effectProbeRow), 0.0f);
    for (int x = 0; x < probeWidth; ++x) EXPECT_EQ(pixelAt(*result, x, 11)[3], 255) << "opaque behind a bezel";
}

TEST_F(RenderProbe, phosphorChainBindsItsTexturesListsAndQuarterTargets)
{
    const ShaderPass pass = phosphor({{"bloomStyle", 1}, {"paletteLinked", 1}, {"virtualRows", 120}});
    const ImagePointer result = renderer.render(picture, configurationOf({pass}), 0);
    expectProbed(*result, effectProbeRow, phosphorUniforms(pass, probeWidth, probeHeight, PhosphorFrame{}));
    EXPECT_EQ(probedSlot(*result, effectProbeRow, 26), 0.0f) << "paletteLinked is never sent";
    EXPECT_EQ(probedBezelFlag(*result, effectProbeRow), 0.0f);
    // One frame excited, from cleared emission textures, reading the source at unit 0.
    EXPECT_EQ(emission(*result), (std::array<std::uint8_t, 4>{1, 0, pixelAt(*picture, 0, 0)[0], 255}));

    using Quad = std::array<std::uint8_t, 4>;
    constexpr std::uint8_t quarterWidth = probeWidth / 4, quarterHeight = probeHeight / 4;
    EXPECT_EQ(quadAt(*result, 0, bloomProbeRow), (Quad{quarterWidth, quarterHeight, 1, 3}))
        << "vertical pass: quarter A's size, direction (0, 1), step 1, halation";
    EXPECT_EQ(quadAt(*result, 1, bloomProbeRow), (Quad{probeWidth, probeHeight, 2, 9}))
        << "horizontal pass: the emission's size, direction (1, 0), step 4, halation";
    EXPECT_EQ(quadAt(*result, 2, bloomProbeRow), (Quad{quarterWidth, quarterHeight, quarterWidth, quarterHeight}))
        << "composite unit 2 holds quarter B, which was drawn from quarter A";
    const auto below = [](const Image& image) {
        return std::vector(image.row(emissionProbeRow + 2), image.row(probeHeight - 1) + probeWidth * 4);
    };
    EXPECT_EQ(below(*result), below(*picture)) << "the composite covers every pixel";
    // Quarter textures take the whole quotient and at least one pixel.
    const ImagePointer narrow = Image::make(7, 9, std::vector<std::uint8_t>(7 * 9 * 4, 200));
    const Pixel quarter = quadAt(*renderer.render(narrow, configurationOf({phosphor()}), 0), 2, bloomProbeRow);
    EXPECT_EQ(std::pair(quarter[0], quarter[1]), (std::pair<std::uint8_t, std::uint8_t>(1, 2)));
}

TEST_F(RenderProbe, animatedFramesPingPongTheEmissionAndFollowTheHistoryRules)
{
    const ShaderConfiguration animated = configurationOf({phosphor()}, true);
    const ImagePointer first = renderer.render(picture, animated, 1.0f, {.temporalHistory = true});
    EXPECT_EQ(frameSlots(*first), (Frame{1.0f, 0, 1, 0}));
    EXPECT_EQ(emission(*first)[0], 1);
    ASSERT_EQ(renderer.phosphorHistory().size(), 1u);
    EXPECT_EQ(renderer.phosphorHistory().at(0), (PhosphorHistoryState{probeWidth, probeHeight, 1, 1.0f}));
    EXPECT_EQ(renderer.historyConfiguration(), animated);

    const ImagePointer second = renderer.render(picture, animated, 1.075f, {.temporalHistory = true});
    EXPECT_EQ(frameSlots(*second), (Frame{1.075f, 1.075f - 1.0f, 1, 1}));
    EXPECT_EQ(emission(*second)[0], 2) << "the second frame read the first frame's emission";
    EXPECT_EQ(renderer.phosphorHistory().at(0), (PhosphorHistoryState{probeWidth, probeHeight, 0, 1.075f}));

    EXPECT_EQ(emission(*renderer.render(picture, animated, 1.15f, {.temporalHistory = true}))[0], 3);
    EXPECT_EQ(renderer.phosphorHistory().at(0).current, 1);

    // An earlier time reuses the textures but knows no previous frame, and stores its own time.
    EXPECT_EQ(frameSlots(*renderer.render(picture, animated, 1.1f, {.temporalHistory = true})), (Frame{1.1f, 0, 1, 0}));
    EXPECT_EQ(renderer.phosphorHistory().at(0), (PhosphorHistoryState{probeWidth, probeHeight, 0, 1.1f}));
    // A time that is not a number counts as 0 and is stored as 0.
    const ImagePointer nan =
        renderer.render(picture, animated, std::numeric_limits<float>::quiet_NaN(), {.temporalHistory = true});
    EXPECT_EQ(frameSlots(*nan), (Frame{0, 0, 1, 0}));
    EXPECT_EQ(renderer.phosphorHistory().at(0).time, 0.0f);

    // A new size replaces the textures, with no previous frame known.
    const ImagePointer larger = makePicture(probeWidth + 4, probeHeight, [](int, int) {
        return Pixel{255, 255, 255, 255};
    });
    const ImagePointer resized = renderer.render(larger, animated, 0.5f, {.temporalHistory = true});
    EXPECT_EQ(frameSlots(*resized), (Frame{0.5f, 0, 1, 0}));
    EXPECT_EQ(emission(*resized)[1], 0) << "the new textures start cleared";
    EXPECT_EQ(renderer.phosphorHistory().at(0), (PhosphorHistoryState{probeWidth + 4, probeHeight, 1, 0.5f}));

    // Another configuration drops the history and starts over.
    ShaderConfiguration changed = animated;
    changed.passes[0].intensity = 0.9f;
    EXPECT_EQ(frameSlots(*renderer.render(larger, changed, 0.6f, {.temporalHistory = true})), (Frame{0.6f, 0, 1, 0}));
    EXPECT_EQ(renderer.historyConfiguration(), changed);
    EXPECT_EQ(renderer.phosphorHistory().at(0).current, 1);

    renderer.resetTemporalHistory();
    EXPECT_TRUE(renderer.phosphorHistory().empty());
    EXPECT_FALSE(renderer.historyConfiguration().has_value());
}

TEST_F(RenderProbe, stillFramesAndFramesWithoutHistoryNeitherReadNorWriteIt)
{
    const ShaderConfiguration animated = configurationOf({phosphor()}, true);
    renderer.render(picture, animated, 1.0f, {.temporalHistory = true});
    const auto stored = renderer.phosphorHistory();

    const ImagePointer still =
        renderer.render(picture, configurationOf({phosphor()}, false), 1.1f, {.temporalHistory = true});
    EXPECT_EQ(frameSlots(*still), (Frame{0, 0, 0, 0}));
    EXPECT_EQ(emission(*still)[1], 0) << "a still frame uses cleared textures of its own";
    EXPECT_EQ(frameSlots(*renderer.render(picture, animated, 1.2f)), (Frame{1.2f, 0, 1, 0}));
    EXPECT_EQ(renderer.phosphorHistory(), stored);
    EXPECT_EQ(emission(*renderer.render(picture, animated, 1.3f, {.temporalHistory = true}))[0], 2)
        << "the stored entry still continues";

    // Each phosphor pass keeps an entry of its own, keyed by its position.
    renderer.render(
        picture,
        configurationOf({ShaderPass("crt", 1, {}, false), phosphor(), activePass("negative"), phosphor()}, true), 1.0f,
        {.temporalHistory = true});
    EXPECT_EQ(renderer.phosphorHistory().size(), 2u);
    EXPECT_TRUE(renderer.phosphorHistory().contains(1) && renderer.phosphorHistory().contains(3));
}

}  // namespace
}  // namespace tilvane
