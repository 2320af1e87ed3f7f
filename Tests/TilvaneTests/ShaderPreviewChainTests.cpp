#include "PreviewTestSupport.hpp"

#include "Tilvane/Views/ShaderPreviewChain.hpp"

#include <gtest/gtest.h>

#include <QTest>

namespace tilvane {
namespace {

ShaderConfiguration phosphor(bool motion)
{
    return ShaderConfiguration::fromPreset(testing::presetWithEffect("realisticPhosphor"), motion);
}

TEST(ShaderPreviewRequest, DecidesWhetherAndHowToRender)
{
    const ImagePointer base = testing::stripedImage(32, 24);
    struct Row {
        const char* name;
        ImagePointer base;
        std::optional<ShaderConfiguration> configuration;
        ScreenSettings screen;
        bool reduceMotion;
        bool active;
        bool renders;
        bool animates;
    };
    const Row rows[] = {
        {"no shader, no screen effects", base, std::nullopt, {}, false, true, false, false},
        {"no preview base", nullptr, phosphor(true), {}, false, true, false, false},
        {"scanlines alone", base, std::nullopt, {0.3f, 0.5f, 0}, false, true, true, false},
        {"glow alone", base, std::nullopt, {0, 0.5f, 0.4f}, false, true, true, false},
        {"motion, active", base, phosphor(true), {}, false, true, true, true},
        {"motion under reduce motion", base, phosphor(true), {}, true, true, true, false},
        {"motion while inactive", base, phosphor(true), {}, false, false, true, false},
        {"still look", base, phosphor(false), {}, false, true, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto request = previewRequest(row.base, row.configuration, row.screen, row.reduceMotion, row.active);
        ASSERT_EQ(request.has_value(), row.renders);
        if (request) {
            EXPECT_EQ(request->animates(), row.animates);
        }
    }
}

struct Frame {
    ImagePointer image;
    float time;
};

struct ChainProbe {
    std::vector<Frame> frames;
    std::vector<QString> failures;
    ShaderPreviewChain::Callbacks callbacks()
    {
        return {[this](ImagePointer image, float time) {
                    frames.push_back({std::move(image), time});
                },
                [this](QString message) { failures.push_back(std::move(message)); }};
    }
};

TEST(ShaderPreviewChain, AStillLookRendersOneFrameAtTimeZeroWithoutResettingHistory)
{
    ShaderRenderer& renderer = testing::testRenderer();
    const ImagePointer base = testing::stripedImage(64, 48);
    const auto other = ShaderConfiguration::fromPreset(testing::presetWithEffect("crt"), true);
    renderer.resetTemporalHistory();
    renderer.render(base, other, {}, 0.5f, true);
    ASSERT_EQ(renderer.historyConfiguration(), other);

    ChainProbe probe;
    ShaderPreviewChain chain(probe.callbacks(), [&] { return &renderer; });
    chain.start(*previewRequest(base, phosphor(true), {}, /*reduceMotion=*/true, true));
    ASSERT_TRUE(testing::waitUntil([&] { return !probe.frames.empty(); }));
    QTest::qWait(300);
    ASSERT_EQ(probe.frames.size(), 1u);
    EXPECT_EQ(probe.frames[0].time, 0.0f);
    EXPECT_EQ(probe.frames[0].image->width(), 64);
    EXPECT_FALSE(chain.isRunning());
    EXPECT_EQ(renderer.historyConfiguration(), other) << "a still frame must not reset the history";
    EXPECT_TRUE(probe.failures.empty());
}

TEST(ShaderPreviewChain, AnAnimatedLookResetsOnceAndFeedsElapsedTime)
{
    ShaderRenderer& renderer = testing::testRenderer();
    const ImagePointer base = testing::stripedImage(64, 48);
    renderer.resetTemporalHistory();
    renderer.render(base, ShaderConfiguration::fromPreset(testing::presetWithEffect("crt"), true), {}, 0.5f, true);

    ChainProbe probe;
    ShaderPreviewChain chain(probe.callbacks(), [&] { return &renderer; });
    const auto request = *previewRequest(base, phosphor(true), {}, false, true);
    chain.start(request);
    ASSERT_TRUE(testing::waitUntil([&] { return probe.frames.size() >= 4; }));
    chain.stop();
    const std::size_t shown = probe.frames.size();
    EXPECT_LT(probe.frames[0].time, 0.5f);
    for (std::size_t index = 1; index < shown; ++index) {
        // At least the 75 ms pause lies between two frames.
        EXPECT_GE(probe.frames[index].time - probe.frames[index - 1].time, 0.07f) << "frame " << index;
    }
    EXPECT_EQ(renderer.historyConfiguration(), request.configuration);
    QTest::qWait(300);
    EXPECT_EQ(probe.frames.size(), shown) << "no frame after stop";
}

TEST(ShaderPreviewChain, ANewJobDropsTheFramesOfTheOldOne)
{
    ChainProbe probe;
    ShaderPreviewChain chain(probe.callbacks(), [] { return &testing::testRenderer(); });
    const ImagePointer small = testing::stripedImage(16, 12);
    const ImagePointer large = testing::stripedImage(96, 72);
    chain.start(*previewRequest(small, std::nullopt, {0.5f, 0.5f, 0}, false, true));
    chain.start(*previewRequest(large, std::nullopt, {0.5f, 0.5f, 0}, false, true));
    ASSERT_TRUE(testing::waitUntil([&] { return !probe.frames.empty(); }));
    QTest::qWait(200);
    ASSERT_EQ(probe.frames.size(), 1u);
    EXPECT_EQ(probe.frames[0].image->width(), 96);
}

TEST(ShaderPreviewChain, AMissingRendererIsReported)
{
    ChainProbe probe;
    ShaderPreviewChain chain(probe.callbacks(), [] { return static_cast<ShaderRenderer*>(nullptr); });
    chain.start(*previewRequest(testing::stripedImage(8, 8), phosphor(true), {}, false, true));
    ASSERT_TRUE(testing::waitUntil([&] { return !probe.failures.empty(); }));
    EXPECT_EQ(probe.failures[0], QStringLiteral("Este computador não disponibilizou OpenGL para os shaders."));
    EXPECT_TRUE(probe.frames.empty());
    EXPECT_FALSE(chain.isRunning());
}

}  // namespace
}  // namespace tilvane
