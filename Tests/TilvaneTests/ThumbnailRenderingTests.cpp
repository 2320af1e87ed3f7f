#include "PreviewTestSupport.hpp"

#include "Tilvane/Editor/ThumbnailRendering.hpp"
#include "TilvaneCore/Cancellation.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace tilvane {
namespace {

TEST(ThumbnailRendering, HeightsFollowTheSourceAspectUpToTwiceTheWidth)
{
    struct Row {
        const char* name;
        int width, height, expected;
    };
    const Row rows[] = {
        {"landscape", 4000, 3000, 150},           {"portrait", 3000, 4000, 267},
        {"one pixel high", 1000, 1, 1},           {"square", 640, 640, 200},
        {"twice as tall as wide", 300, 600, 400}, {"just past twice as tall", 300, 602, 400},
        {"one pixel wide", 1, 60000, 400},        {"tallest picture", 1, std::numeric_limits<int>::max(), 400},
    };
    for (const Row& row : rows) EXPECT_EQ(thumbnailHeight(row.width, row.height), row.expected) << row.name;
}

TEST(ThumbnailRendering, BuiltInSetCarriesTheScreenSettings)
{
    const ImagePointer grid = testing::stripedImage(500, 375);
    const auto& presets = testing::builtInPresets();
    ASSERT_FALSE(presets.empty());

    const BuiltInThumbnails plain =
        renderBuiltInThumbnails(*grid, 4000, 3000, ScreenSettings{}, &testing::testRenderer(), presets, {});
    EXPECT_EQ(plain.screen, nullptr);
    ASSERT_EQ(plain.presets.size(), presets.size());
    for (std::size_t index = 0; index < presets.size(); ++index) {
        EXPECT_EQ(plain.presets[index].first, presets[index].id);
        EXPECT_EQ(plain.presets[index].second->width(), 200);
        EXPECT_EQ(plain.presets[index].second->height(), 150);
    }

    const ScreenSettings scanlines{0.8f, 0.5f, 0};
    const BuiltInThumbnails lined =
        renderBuiltInThumbnails(*grid, 4000, 3000, scanlines, &testing::testRenderer(), presets, {});
    ASSERT_NE(lined.screen, nullptr);
    EXPECT_EQ(lined.screen->width(), 200);
    EXPECT_EQ(lined.screen->height(), 150);
    // A preset that draws no scanlines of its own shows the screen-wide ones.
    const auto& negative = testing::presetWithEffect("negative");
    for (std::size_t index = 0; index < presets.size(); ++index) {
        if (presets[index].id != negative.id) continue;
        const auto a = plain.presets[index].second->bytes();
        const auto b = lined.presets[index].second->bytes();
        EXPECT_FALSE(std::equal(a.begin(), a.end(), b.begin(), b.end()));
    }
}

TEST(ThumbnailRendering, BuiltInSetIsAllOrNothing)
{
    const ImagePointer grid = testing::stripedImage(50, 40);
    EXPECT_THROW(renderBuiltInThumbnails(*grid, 500, 400, {}, nullptr, testing::builtInPresets(), {}),
                 ShaderRendererError);
    std::stop_source stop;
    stop.request_stop();
    EXPECT_THROW(renderBuiltInThumbnails(*grid, 500, 400, {}, &testing::testRenderer(), testing::builtInPresets(),
                                         stop.get_token()),
                 CancellationError);
}

PersonalPreset personal(const char* name, std::string paletteID, std::optional<ShaderConfiguration> shader,
                        std::optional<std::vector<RGBColor>> customColors = std::nullopt)
{
    VisualSettings visual;
    visual.paletteID = std::move(paletteID);
    visual.pixelSize = 4;
    visual.shader = std::move(shader);
    visual.customColors = std::move(customColors);
    return {Uuid::random(), name, visual};
}

TEST(ThumbnailRendering, PersonalPresetsSkipOnlyTheOnesThatFail)
{
    const ImagePointer source = testing::stripedImage(300, 400);
    const auto crt = ShaderConfiguration::fromPreset(testing::presetWithEffect("crt"), {.motion = true});
    const std::vector<PersonalPreset> presets = {
        personal("plain", "gameboy", std::nullopt),
        personal("custom without colours", std::string(ImagePalette::customID), std::nullopt, std::vector<RGBColor>{}),
        personal("unknown palette", "no-such-palette", std::nullopt),
        personal("shaded", "pico8", crt),
    };

    const auto rendered = renderPersonalThumbnails(*source, presets, &testing::testRenderer(), {});
    EXPECT_EQ(rendered.size(), 2u);
    ASSERT_TRUE(rendered.contains(presets[0].id));
    ASSERT_TRUE(rendered.contains(presets[3].id));
    EXPECT_EQ(rendered.at(presets[0].id)->width(), 200);
    EXPECT_EQ(rendered.at(presets[0].id)->height(), 267);

    const auto withoutRenderer = renderPersonalThumbnails(*source, presets, nullptr, {});
    EXPECT_EQ(withoutRenderer.size(), 1u);
    EXPECT_TRUE(withoutRenderer.contains(presets[0].id));

    const ImagePointer thin = testing::stripedImage(1, 60000);
    const auto ofThin = renderPersonalThumbnails(*thin, presets, &testing::testRenderer(), {});
    ASSERT_EQ(ofThin.size(), 2u);
    for (const auto& [id, image] : ofThin) EXPECT_EQ(std::pair(image->width(), image->height()), std::pair(200, 400));

    std::stop_source stop;
    stop.request_stop();
    EXPECT_TRUE(renderPersonalThumbnails(*source, presets, &testing::testRenderer(), stop.get_token()).empty());
}

}  // namespace
}  // namespace tilvane
