#include "PreviewTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace tilvane::testing {
namespace {

using namespace std::chrono_literals;

// A window whose sample is `picture`.
struct PreviewFixture : RenderingEditor {
    explicit PreviewFixture(ImagePointer picture = stripedImage(64, 48)) { services.sample = std::move(picture); }

    int utilityJobs() const
    {
        return static_cast<int>(std::ranges::count(services.jobs->priorities, JobPriority::utility));
    }
};

VisualSettings withShader(VisualSettings visual, const std::string& effect, bool motion)
{
    visual.shader = ShaderConfiguration::fromPreset(presetWithEffect(effect), {.motion = motion});
    return visual;
}

VisualSettings withScreen(VisualSettings visual, ScreenSettings screen)
{
    visual.screen = screen;
    return visual;
}

const std::string unavailableText = "Este computador não disponibilizou OpenGL para os shaders.";

TEST(ContentViewPreview, ScreenEffectsAloneRenderOneFrameAtTimeZero)
{
    PreviewFixture fixture;
    const auto window = fixture.readyWindow();
    window->setVisual(withScreen(window->state().visual, {0.3f, 0.5f, 0}));
    EXPECT_TRUE(window->state().isShaderProcessing);
    fixture.services.jobs->runAll();
    ASSERT_TRUE(window->state().shaderImage);
    EXPECT_EQ(window->state().shaderImage->width(), 64);
    EXPECT_EQ(window->state().shaderFrameTime, 0.0f);
    EXPECT_FALSE(window->state().isShaderProcessing);
    const ImagePointer shown = window->state().shaderImage;
    fixture.services.clock->advance(1s);
    fixture.services.jobs->runAll();  // the thumbnail refresh after the screen change
    EXPECT_EQ(window->state().shaderImage, shown) << "a still look renders once";
}

TEST(ContentViewPreview, AStillFrameUnderReduceMotionOrWhileInactive)
{
    struct Row {
        const char* name;
        bool reduceMotion;
        ScenePhase phase;
    };
    const Row rows[] = {{"reduce motion", true, ScenePhase::active}, {"inactive", false, ScenePhase::inactive}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PreviewFixture fixture;
        const auto window = fixture.readyWindow();
        const auto primed = ShaderConfiguration::fromPreset(presetWithEffect("crt"), {.motion = true});
        testRenderer().resetTemporalHistory();
        testRenderer().render(stripedImage(8, 8), primed, {}, 0.2f, {.temporalHistory = true});

        window->setReduceMotion(row.reduceMotion);
        window->setScenePhase(row.phase);
        window->setVisual(withShader(window->state().visual, "realisticPhosphor", true));
        fixture.services.jobs->runAll();
        ASSERT_TRUE(window->state().shaderImage);
        EXPECT_EQ(window->state().shaderFrameTime, 0.0f);
        EXPECT_EQ(testRenderer().historyConfiguration(), primed) << "no history reset for a still frame";
        fixture.services.clock->advance(500ms);
        EXPECT_TRUE(fixture.services.jobs->pending.empty()) << "no animation loop";
    }
}

TEST(ContentViewPreview, AnAnimationResetsTheHistoryOnceAndItsFrameTimesIncrease)
{
    PreviewFixture fixture;
    const auto window = fixture.readyWindow();
    const VisualSettings animated = withShader(window->state().visual, "realisticPhosphor", true);
    window->setVisual(animated);
    fixture.services.jobs->runAll();
    std::vector<float> times{window->state().shaderFrameTime};
    EXPECT_EQ(times[0], 0.0f);
    EXPECT_EQ(testRenderer().historyConfiguration(), animated.shader);
    for (int frame = 1; frame < 4; ++frame) {
        const ImagePointer shown = window->state().shaderImage;
        fixture.services.clock->advance(74ms);
        EXPECT_TRUE(fixture.services.jobs->pending.empty()) << "the next frame waits the whole 75 ms";
        fixture.services.clock->advance(1ms);
        fixture.services.jobs->runAll();
        EXPECT_NE(window->state().shaderImage, shown);
        times.push_back(window->state().shaderFrameTime);
    }
    EXPECT_FLOAT_EQ(times[1], 0.075f);
    EXPECT_TRUE(std::ranges::is_sorted(times));
    EXPECT_GT(times[3], times[2]);

    // Leaving the active phase stops the chain and keeps the last frame.
    const ImagePointer last = window->state().shaderImage;
    window->setScenePhase(ScenePhase::inactive);
    fixture.services.clock->advance(1s);
    fixture.services.jobs->runAll();
    EXPECT_EQ(window->state().shaderImage, last);
}

TEST(ContentViewPreview, BecomingActiveAgainRendersAStillLookWhoseRenderWasCutOff)
{
    PreviewFixture fixture;
    const auto window = fixture.readyWindow();
    window->setVisual(withShader(window->state().visual, "crt", false));
    ASSERT_TRUE(window->state().isShaderProcessing);
    window->setScenePhase(ScenePhase::inactive);  // cut off before its first frame
    fixture.services.jobs->runAll();
    EXPECT_EQ(window->state().shaderImage, nullptr);

    window->setScenePhase(ScenePhase::active);
    fixture.services.jobs->runAll();
    EXPECT_TRUE(window->state().shaderImage) << "the still look shows after a quick focus change";

    // With a frame shown, a still look is not rendered again.
    const ImagePointer shown = window->state().shaderImage;
    window->setScenePhase(ScenePhase::inactive);
    window->setScenePhase(ScenePhase::active);
    fixture.services.jobs->runAll();
    EXPECT_EQ(window->state().shaderImage, shown);
}

TEST(ContentViewPreview, ThumbnailSizesFollowTheSource)
{
    struct Row {
        const char* name;
        int width, height, thumbnailHeight;
    };
    const Row rows[] = {{"4000 × 3000", 4000, 3000, 150},
                        {"3000 × 4000", 3000, 4000, 267},
                        {"1000 × 1", 1000, 1, 1},
                        {"1 × 60000", 1, 60000, 400}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PreviewFixture fixture(stripedImage(row.width, row.height));
        const auto window = fixture.readyWindow();
        const auto& thumbnails = window->state().shaderThumbnails;
        ASSERT_EQ(thumbnails.size(), builtInPresets().size());
        for (const auto& [id, image] : thumbnails) {
            EXPECT_EQ(image->width(), 200) << id;
            EXPECT_EQ(image->height(), row.thumbnailHeight) << id;
        }
        EXPECT_EQ(window->state().screenThumbnail, nullptr) << "screen effects are off";
    }
}

TEST(ContentViewPreview, AScreenSliderStartsOneThumbnailJobAfterItRests)
{
    PreviewFixture fixture;
    const auto window = fixture.readyWindow();
    const int before = fixture.utilityJobs();
    for (int step = 1; step <= 5; ++step) {
        window->setVisual(withScreen(window->state().visual, {0.1f * step, 0.5f, 0}));
        fixture.services.jobs->runAll();  // each change re-renders the preview at once
        ASSERT_TRUE(window->state().shaderImage);
        fixture.services.clock->advance(50ms);
    }
    EXPECT_EQ(fixture.utilityJobs(), before);
    fixture.services.clock->advance(129ms);  // 179 ms after the last change
    EXPECT_EQ(fixture.utilityJobs(), before);
    fixture.services.clock->advance(1ms);
    EXPECT_EQ(fixture.utilityJobs(), before + 1);
    fixture.services.jobs->runAll();
    ASSERT_TRUE(window->state().screenThumbnail) << "the grid with the scanlines alone";
    EXPECT_EQ(window->state().screenThumbnail->width(), 200);
    fixture.services.clock->advance(1s);
    EXPECT_EQ(fixture.utilityJobs(), before + 1);
}

TEST(ContentViewPreview, ThumbnailsAreAllOrNothing)
{
    PreviewFixture fixture;
    const auto window = fixture.readyWindow();
    const auto previous = window->state().shaderThumbnails;
    ASSERT_FALSE(previous.empty());

    fixture.renderer = nullptr;
    window->setVisual(withScreen(window->state().visual, {0.4f, 0.5f, 0}));
    fixture.services.clock->advance(ContentView::screenThumbnailRefreshDelay);
    fixture.services.jobs->runAll();
    EXPECT_EQ(window->state().shaderThumbnails, previous) << "the old set stays";
    EXPECT_EQ(window->state().screenThumbnail, nullptr);
}

TEST(ContentViewPreview, WithoutTheSharedRendererOnlyAShadedLookReportsIt)
{
    PreviewFixture fixture;
    fixture.renderer = nullptr;
    const auto window = fixture.readyWindow();
    ASSERT_TRUE(window->state().shaderPreviewBase);
    EXPECT_EQ(window->state().shaderImage, nullptr) << "nothing to render without a shader or screen effects";
    EXPECT_FALSE(window->state().isShaderProcessing);
    EXPECT_TRUE(window->state().shaderThumbnails.empty());
    EXPECT_EQ(window->state().errorMessage(), std::nullopt) << "thumbnails stay missing silently";

    window->setVisual(withShader(window->state().visual, "crt", true));
    fixture.services.jobs->runAll();
    EXPECT_EQ(window->state().errorMessage(), unavailableText);
    EXPECT_FALSE(window->state().isShaderProcessing);
    window->dismissError();
    window->setVisual(withShader(window->state().visual, "negative", false));
    fixture.services.jobs->runAll();
    EXPECT_EQ(window->state().errorMessage(), std::nullopt) << "the text is shown once";
    EXPECT_EQ(window->state().shaderImage, nullptr);
}

PersonalPreset personalPreset(const char* name, std::string paletteID, std::optional<ShaderConfiguration> shader)
{
    VisualSettings visual = initialVisualSettings();
    visual.paletteID = std::move(paletteID);
    visual.shader = std::move(shader);
    return {Uuid::random(), name, visual};
}

TEST(ContentViewPreview, PersonalThumbnailsOfTheStoredPresets)
{
    struct Row {
        const char* name;
        bool renderer;
        std::size_t expected;
    };
    const Row rows[] = {{"with a renderer", true, 2}, {"without a renderer: only the unshaded one", false, 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PreviewFixture fixture(stripedImage(300, 200));
        if (!row.renderer) fixture.renderer = nullptr;
        const std::vector<PersonalPreset> presets = {
            personalPreset("plain", "pico8", std::nullopt),
            personalPreset("crt", "nes", ShaderConfiguration::fromPreset(presetWithEffect("crt"))),
        };
        PersonalPresetStore(fixture.services.presetsFile()).save(presets);

        const auto window = fixture.readyWindow();
        const auto& thumbnails = window->state().personalThumbnails;
        EXPECT_EQ(thumbnails.size(), row.expected);
        ASSERT_TRUE(thumbnails.contains(presets[0].id));
        EXPECT_EQ(thumbnails.at(presets[0].id)->width(), 200);
        EXPECT_EQ(thumbnails.at(presets[0].id)->height(), 133);
        EXPECT_EQ(thumbnails.contains(presets[1].id), row.renderer);
    }
}

}  // namespace
}  // namespace tilvane::testing
