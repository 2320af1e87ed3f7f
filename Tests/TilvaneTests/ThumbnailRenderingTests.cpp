#include "PreviewTestSupport.hpp"

#include "Tilvane/Editor/ThumbnailRendering.hpp"
#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneCore/ImageConverter.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

TEST(ThumbnailRendering, PicturesUpToTwiceAsTallAsWideKeepTheWholeGridEnlarged)
{
    struct Row {
        const char* name;
        int width, height;
    };
    const Row rows[] = {{"landscape", 4000, 3000}, {"square", 640, 640}, {"twice as tall as wide", 300, 600}};
    const ImagePointer grid = testing::stripedImage(75, 120);
    for (const Row& row : rows) {
        const ImagePointer base = thumbnailBase(*grid, row.width, row.height);
        const ImagePointer whole =
            ImageConverter().upscale(*grid, thumbnailWidth, thumbnailHeight(row.width, row.height));
        EXPECT_TRUE(std::ranges::equal(base->bytes(), whole->bytes())) << row.name;
    }
}

constexpr std::array<std::uint8_t, 4> black = {0, 0, 0, 255}, white = {255, 255, 255, 255};
constexpr std::array<std::uint8_t, 4> red = {255, 0, 0, 255}, blue = {0, 0, 255, 255};

// A picture whose centre, twice as tall as it is wide, is a chequer of black and white squares of `cell` pixels
// (black at its top-left corner), with a red band above it and a blue one below.
ImagePointer bandedPicture(int width, int height, int cell)
{
    const int centreTop = (height - 2 * width) / 2;
    std::vector<std::uint8_t> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool above = y < centreTop, below = y >= centreTop + 2 * width;
            const bool whiteSquare = (x / cell + (y - centreTop) / cell) % 2 == 1;
            const auto& colour = above ? red : below ? blue : whiteSquare ? white : black;
            pixels.insert(pixels.end(), colour.begin(), colour.end());
        }
    }
    return Image::make(width, height, std::move(pixels));
}

// The pixels of the image that differ from the black and white chequer of `cell`-pixel squares.
int pixelsOffTheChequer(const Image& image, int cell)
{
    int off = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const auto& expected = (x / cell + y / cell) % 2 == 1 ? white : black;
            if (!std::equal(expected.begin(), expected.end(), image.pixel(x, y))) ++off;
        }
    }
    return off;
}

struct TallPicture {
    const char* name;
    int width, height, cell;
    int thumbnailCell;  // the chequer's squares in the 200-pixel-wide thumbnail
};

const TallPicture tallPictures[] = {
    {"ten times as tall as wide", 100, 1000, 10, 20},
    {"phone screenshot", 1080, 2340, 54, 10},
    {"one pixel wide", 1, 60000, 1, 200},
};

TEST(ThumbnailRendering, BuiltInThumbnailsOfATallPictureShowItsCentreUndistorted)
{
    // Without passes a preset hands back the very base it renders, so its pixels are the base's.
    const std::vector<ShaderPreset> presets = {{"plain", "Plain", {}, {}}, testing::presetWithEffect("crt")};
    for (const TallPicture& picture : tallPictures) {
        SCOPED_TRACE(picture.name);
        const ImagePointer grid = bandedPicture(picture.width, picture.height, picture.cell);
        const BuiltInThumbnails thumbnails =
            renderBuiltInThumbnails(*grid, picture.width, picture.height, {}, &testing::testRenderer(), presets, {});
        ASSERT_EQ(thumbnails.presets.size(), 2u);
        for (const auto& [id, image] : thumbnails.presets) {
            EXPECT_EQ(std::pair(image->width(), image->height()), std::pair(200, 400)) << id;
        }
        EXPECT_EQ(pixelsOffTheChequer(*thumbnails.presets[0].second, picture.thumbnailCell), 0);
    }
}

TEST(ThumbnailRendering, PersonalThumbnailsOfATallPictureShowItsCentreUndistorted)
{
    VisualSettings look;
    look.paletteID = std::string(ImagePalette::customID);
    look.customColors = std::vector<RGBColor>{{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 0, 255}};
    look.pixelSize = 1;
    const std::vector<PersonalPreset> presets = {{Uuid::random(), "quatro cores", look}};
    for (const TallPicture& picture : tallPictures) {
        SCOPED_TRACE(picture.name);
        const ImagePointer source = bandedPicture(picture.width, picture.height, picture.cell);
        const auto thumbnails = renderPersonalThumbnails(*source, presets, nullptr, {});
        ASSERT_TRUE(thumbnails.contains(presets[0].id));
        const Image& thumbnail = *thumbnails.at(presets[0].id);
        EXPECT_EQ(std::pair(thumbnail.width(), thumbnail.height()), std::pair(200, 400));
        EXPECT_EQ(pixelsOffTheChequer(thumbnail, picture.thumbnailCell), 0);
    }
}

TEST(ThumbnailRendering, AGridCoarserThanTheCentreOfATallPictureShowsItsMiddleRow)
{
    // Blocks of 8 pixels: the 1 × 2 centre of a 1 × 60000 picture is a quarter of one row of its 1 × 7500 grid.
    std::vector<std::uint8_t> pixels;
    for (int row = 0; row < 7500; ++row) {
        const auto& colour = row == 3749 ? white : row < 3749 ? red : blue;
        pixels.insert(pixels.end(), colour.begin(), colour.end());
    }
    const ImagePointer base = thumbnailBase(*Image::make(1, 7500, std::move(pixels)), 1, 60000);
    EXPECT_EQ(std::pair(base->width(), base->height()), std::pair(200, 400));
    EXPECT_TRUE(std::ranges::all_of(base->bytes(), [](std::uint8_t byte) { return byte == 255; })) << "all white";
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
