#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneCore/ImageConverter.hpp"

#include "TestImages.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

using namespace tilvane;
using namespace tilvane::testing_images;

namespace {

const ImageAdjustments neutral{};

ImagePalette palette(PaletteMapping mapping, std::vector<RGBColor> colors)
{
    return ImagePalette{"test", "Teste", std::move(colors), mapping};
}

// Every grey from 0 to 255, so that nearest-colour mapping shows the value it was given.
ImagePalette everyGrey()
{
    std::vector<RGBColor> colors;
    for (std::uint32_t i = 0; i < 256; ++i) colors.push_back(RGBColor::hex(i * 0x010101));
    return palette(PaletteMapping::nearestRGB, colors);
}

const ImagePalette blackOrWhiteNearest = palette(PaletteMapping::nearestRGB, {{0, 0, 0}, {255, 255, 255}});

ImagePointer convert(const ImagePointer& image, const ImagePalette& palette, int pixelSize = 1,
                     DitherMode dither = DitherMode::none, ImageAdjustments adjustments = neutral)
{
    return ImageConverter().renderPixelGrid(*image, palette, pixelSize, dither, adjustments, {});
}

ImagePointer greys(int width, int height, const std::vector<std::uint8_t>& values)
{
    return generatedImage(width, height, [&](int x, int y) { return grey(values[std::size_t(y * width + x)]); });
}

std::vector<std::uint8_t> redChannel(const Image& image)
{
    std::vector<std::uint8_t> values;
    for (const Pixel& pixel : pixelsOf(image)) values.push_back(pixel[0]);
    return values;
}

auto throwsConversionError(ImageConversionErrorCase expected)
{
    return testing::Throws<ImageConversionError>(testing::Eq(ImageConversionError(expected)));
}

TEST(ImageConverter, RefusalsComeBeforeAnyWorkInTheirOrderInPortuguese)
{
    using enum ImageConversionErrorCase;
    const auto noColours = palette(PaletteMapping::nearestRGB, {});
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Row {
        const char* name;
        int pixelSize;
        ImageAdjustments adjustments;
        ImagePalette palette;
        ImageConversionErrorCase expected;
    };
    const Row rows[] = {
        {"zero pixel size first", 0, {9, 1, 1}, noColours, invalidPixelSize},
        {"negative pixel size", -3, neutral, ImagePalette::gameBoy(), invalidPixelSize},
        {"adjustments before palette", 8, {2.5f, 1, 1}, noColours, invalidAdjustments},
        {"NaN gamma", 8, {0, 1, nan}, ImagePalette::nes(), invalidAdjustments},
        {"nearest without colours", 8, neutral, noColours, emptyPalette},
        {"bands without colours", 8, neutral, palette(PaletteMapping::brightnessBands, {}), emptyPalette},
        {"black and white with one colour", 8, neutral, palette(PaletteMapping::blackAndWhite, {{0, 0, 0}}),
         emptyPalette},
    };
    std::stop_source cancelled;
    cancelled.request_stop();
    for (const Row& row : rows) {
        EXPECT_THAT(
            [&] {
                ImageConverter().renderPixelGrid(*solidImage(4, 4, grey(100)), row.palette, row.pixelSize,
                                                 DitherMode::none, row.adjustments, cancelled.get_token());
            },
            throwsConversionError(row.expected))
            << row.name;
    }
    // A one-colour palette is fine for every other mapping.
    EXPECT_EQ(pixelAt(*convert(solidImage(2, 2, grey(10)), ImagePalette::custom({{1, 2, 3}})), 1, 1),
              (Pixel{1, 2, 3, 255}));
    EXPECT_STREQ(ImageConversionError(invalidPixelSize).what(), "O tamanho do pixel deve ser maior que zero.");
    EXPECT_STREQ(ImageConversionError(emptyPalette).what(), "A paleta precisa conter ao menos uma cor.");
    EXPECT_STREQ(ImageConversionError(invalidAdjustments).what(),
                 "Exposição, contraste ou gamma fora do intervalo permitido.");
    EXPECT_STREQ(ImageConversionError(bitmapCreationFailed).what(), "Não foi possível criar o bitmap.");
}

TEST(ImageConverter, GridSizesRoundPartialBlocksUp)
{
    const int largest = std::numeric_limits<int>::max();
    const std::array<int, 5> rows[] = {
        {100, 61, 8, 13, 8}, {1, 1, 40, 1, 1}, {81, 40, 40, 3, 1}, {5, 7, largest, 1, 1}};
    for (const auto& [width, height, pixelSize, gridWidth, gridHeight] : rows) {
        const auto grid = convert(solidImage(width, height, grey(50)), ImagePalette::original(), pixelSize);
        EXPECT_EQ(std::pair(grid->width(), grid->height()), std::pair(gridWidth, gridHeight)) << width << "×" << height;
        EXPECT_EQ(pixelAt(*grid, gridWidth - 1, gridHeight - 1), grey(50)) << "stretched, not padded";
    }
}

TEST(AreaDownscale, AveragesPremultipliedPixelsByTheirShareOfTheBlock)
{
    const auto& original = ImagePalette::original();
    // Three columns into two: each block covers one and a half source pixels.
    EXPECT_EQ(redChannel(*convert(greys(3, 1, {0, 90, 180}), original, 2)), (std::vector<std::uint8_t>{30, 150}));
    EXPECT_EQ(redChannel(*convert(greys(4, 2, {0, 255, 10, 20, 255, 0, 30, 41}), original, 2)),
              (std::vector<std::uint8_t>{128, 25}));  // 127.5 rounds up; 25.25
    // An opaque red beside a transparent pixel gives half-transparent full red, not a darker red.
    const Pixel halfRed{128, 0, 0, 128};
    EXPECT_EQ(pixelAt(*convert(imageOf(2, 1, {{255, 0, 0, 255}, {0, 0, 0, 0}}), original, 2), 0, 0), halfRed);
    EXPECT_EQ(
        pixelAt(*convert(imageOf(2, 1, {{255, 0, 0, 255}, {0, 255, 0, 0}}, AlphaMode::straight), original, 2), 0, 0),
        halfRed);
    // Large enough to be split among threads: every block of a 2048 × 1024 picture of 8 × 8 tiles.
    const auto shade = [](int x, int y) { return grey(static_cast<std::uint8_t>((x * 7 + y * 13) % 256)); };
    const auto grid =
        convert(generatedImage(2048, 1024, [&](int x, int y) { return shade(x / 8, y / 8); }), original, 8);
    EXPECT_EQ(pixelsOf(*grid), pixelsOf(*generatedImage(256, 128, shade)));
}

TEST(ImageConverter, OriginalPaletteAppliesOnlyTheToneCurveWhateverTheDither)
{
    const auto image = imageOf(2, 1, {{13, 200, 77, 255}, {20, 30, 40, 41}});
    EXPECT_EQ(pixelsOf(*convert(image, ImagePalette::original())), pixelsOf(*image))
        << "neutral leaves blocks untouched";
    for (const auto dither : allDitherModes) {
        // 50 at alpha 128 is 100 un-premultiplied; doubled to 200 and premultiplied again: 100.
        const auto grid =
            convert(imageOf(2, 1, {grey(100), {50, 50, 50, 128}}), ImagePalette::original(), 1, dither, {1, 1, 1});
        EXPECT_EQ(pixelsOf(*grid), (std::vector<Pixel>{grey(200), {100, 100, 100, 128}})) << rawValue(dither);
        // (100, 100, 100) at alpha 128 is (199, 199, 199): white, although its stored bytes sum to 300.
        const auto bw = convert(imageOf(2, 1, {{0, 0, 0, 0}, {100, 100, 100, 128}}), ImagePalette::blackAndWhite(), 1,
                                dither, {0, 1, 1.0001f});
        EXPECT_EQ(pixelsOf(*bw), (std::vector<Pixel>{{0, 0, 0, 0}, {128, 128, 128, 128}})) << rawValue(dither);
    }
}

TEST(ImageConverter, MappingRulesAndThresholds)
{
    const auto fourBands = palette(PaletteMapping::brightnessBands, {{1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}});
    const auto threeColourBlackAndWhite =
        palette(PaletteMapping::blackAndWhite, {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}});
    const auto& bw = ImagePalette::blackAndWhite();
    struct Row {
        const char* name;
        ImagePalette palette;
        Pixel input, expected;
    };
    const Row rows[] = {
        {"white is the last band", fourBands, grey(255), {4, 0, 0, 255}},
        {"63 is the first band", fourBands, grey(63), {1, 0, 0, 255}},
        {"64 is the second band", fourBands, grey(64), {2, 0, 0, 255}},
        {"brightness is the floored mean", fourBands, {64, 64, 63, 255}, {1, 0, 0, 255}},
        {"sum of 384 is black", bw, {128, 128, 128, 255}, grey(0)},
        {"sum of 385 is white", bw, {129, 128, 128, 255}, grey(255)},
        {"only the first two colours count", threeColourBlackAndWhite, {255, 0, 0, 255}, grey(0)},
        {"nearest RGB", ImagePalette::cga(), {90, 250, 240, 255}, {0x55, 0xFF, 0xFF, 255}},
        {"tie to the earlier colour",
         palette(PaletteMapping::nearestRGB, {{0, 0, 0}, {2, 0, 0}}),
         {1, 0, 0, 255},
         grey(0)},
        {"tie in the other order",
         palette(PaletteMapping::nearestRGB, {{2, 0, 0}, {0, 0, 0}}),
         {1, 0, 0, 255},
         {2, 0, 0, 255}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(pixelAt(*convert(imageOf(1, 1, {row.input}), row.palette), 0, 0), row.expected) << row.name;
}

TEST(BayerDither, OffsetsAFlatFieldByTheRepeatingMatrixAndClamps)
{
    constexpr int matrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const auto grid = convert(solidImage(8, 8, grey(128)), everyGrey(), 1, DitherMode::bayer4x4);
    EXPECT_EQ(pixelsOf(*grid), pixelsOf(*generatedImage(8, 8, [&](int x, int y) {
                  return grey(std::uint8_t(98 + 4 * matrix[y % 4][x % 4]));
              })));
    // 10 − 30 and 254 + 2.
    EXPECT_EQ(redChannel(*convert(greys(2, 1, {10, 254}), everyGrey(), 1, DitherMode::bayer4x4)),
              (std::vector<std::uint8_t>{0, 255}));
}

TEST(FloydSteinberg, SpreadsErrorsByTheirWeightsRoundingHalvesAwayFromZeroAndSkipsTransparentPixels)
{
    // 8 lies halfway between 0 and 16 and goes to 0, the earlier; its error of 8 gives the next
    // pixel 15 + 3.5 = 18.5, which rounds to 19 (not 18, as halves to even would).
    const auto fourGreys = palette(PaletteMapping::nearestRGB, {RGBColor::hex(0), RGBColor::hex(0x101010),
                                                                RGBColor::hex(0x121212), RGBColor::hex(0x131313)});
    // Otherwise black or white split at 127.5; a first pixel of 100 leaves an error of 100 (or 200 → −55).
    struct Row {
        const char* name;
        int width, height;
        std::vector<std::uint8_t> greys, expected;
        const ImagePalette& palette = blackOrWhiteNearest;
    };
    const Row rows[] = {
        {"row pushes 7/16 right", 2, 1, {100, 90}, {0, 255}},         // 90 + 43.75
        {"row pushes no more", 2, 1, {100, 80}, {0, 0}},              // 80 + 43.75
        {"column pushes 5/16 down", 1, 2, {100, 100}, {0, 255}},      // 100 + 31.25
        {"column pushes no more", 1, 2, {100, 90}, {0, 0}},           // 90 + 31.25
        {"3/16 down left", 2, 2, {0, 200, 135, 0}, {0, 255, 0, 0}},   // 135 − 10.3
        {"1/16 down right", 2, 2, {200, 0, 0, 130}, {255, 0, 0, 0}},  // 130 − 3.4
        {"no serpentine", 3, 2, {100, 0, 0, 0, 0, 200}, {0, 0, 0, 0, 0, 255}},
        {"halves away from zero", 2, 1, {8, 15}, {0, 19}, fourGreys},
    };
    for (const Row& row : rows) {
        const auto grid = convert(greys(row.width, row.height, row.greys), row.palette, 1, DitherMode::floydSteinberg);
        EXPECT_EQ(redChannel(*grid), row.expected) << row.name;
    }
    // A transparent pixel neither takes nor passes on the error of 100.
    const auto grid =
        convert(imageOf(3, 1, {grey(100), {0, 0, 0, 0}, grey(90)}), blackOrWhiteNearest, 1, DitherMode::floydSteinberg);
    EXPECT_EQ(pixelsOf(*grid), (std::vector<Pixel>{grey(0), {0, 0, 0, 0}, grey(0)}));
}

TEST(ImageConverter, CancelledBeforeTheCallStopsAtTheFirstPassThatChecks)
{
    struct Row {
        const char* name;
        ImagePalette palette;
        DitherMode dither;
        ImageAdjustments adjustments;
        bool throws;
    };
    const Row rows[] = {
        {"original and neutral never checks", ImagePalette::original(), DitherMode::floydSteinberg, neutral, false},
        {"tone curve checks", ImagePalette::original(), DitherMode::none, {0, 1.2f, 1}, true},
        {"mapping checks", ImagePalette::nes(), DitherMode::none, neutral, true},
        {"Bayer checks", ImagePalette::gameBoy(), DitherMode::bayer4x4, neutral, true},
        {"diffusion checks", ImagePalette::doom(), DitherMode::floydSteinberg, neutral, true},
    };
    std::stop_source source;
    source.request_stop();
    for (const Row& row : rows) {
        const auto run = [&] {
            return ImageConverter().renderPixelGrid(*solidImage(8, 8, grey(90)), row.palette, 2, row.dither,
                                                    row.adjustments, source.get_token());
        };
        if (row.throws)
            EXPECT_THROW(run(), CancellationError) << row.name;
        else
            EXPECT_NO_THROW(run()) << row.name;
    }
}

TEST(Upscale, KeepsBlocksHardEdgedSamplingPixelCentres)
{
    const Pixel a{255, 0, 0, 255}, b{0, 255, 0, 255}, c{0, 0, 255, 255}, d{10, 20, 30, 40};
    const auto image = ImageConverter().upscale(*imageOf(2, 2, {a, b, c, d}), 5, 5);
    ASSERT_EQ(std::pair(image->width(), image->height()), std::pair(5, 5));
    EXPECT_EQ(pixelsOf(*image),
              (std::vector<Pixel>{a, a, b, b, b, a, a, b, b, b, c, c, d, d, d, c, c, d, d, d, c, c, d, d, d}));
    // Shrinking 4 to 2 samples source columns 1 and 3, the ones under the centres, and premultiplies.
    const auto straight = imageOf(4, 1, {grey(1), {200, 0, 0, 128}, grey(2), grey(3)}, AlphaMode::straight);
    const auto shrunk = ImageConverter().upscale(*straight, 2, 1);
    EXPECT_EQ(shrunk->alphaMode(), AlphaMode::premultiplied);
    EXPECT_EQ(pixelsOf(*shrunk), (std::vector<Pixel>{{100, 0, 0, 128}, grey(3)}));
    const int largest = std::numeric_limits<int>::max();
    for (const auto& [width, height] : {std::pair{0, 5}, std::pair{5, -1}, std::pair{largest, largest}}) {
        EXPECT_THAT([&] { ImageConverter().upscale(*image, width, height); },
                    throwsConversionError(ImageConversionErrorCase::bitmapCreationFailed))
            << width << "×" << height;
    }
}

TEST(ImageConverter, RenderScalesTheGridBackToThePictureSize)
{
    const auto rendered =
        ImageConverter().render(*greys(3, 1, {10, 10, 200}), blackOrWhiteNearest, 2, DitherMode::none, neutral, {});
    ASSERT_EQ(std::pair(rendered->width(), rendered->height()), std::pair(3, 1));
    // Blocks: (10 + 5) ÷ 1.5 = 10 → black; (5 + 200) ÷ 1.5 ≈ 137 → white. The middle pixel's
    // centre lies on the second block.
    EXPECT_EQ(redChannel(*rendered), (std::vector<std::uint8_t>{0, 255, 255}));
}

}  // namespace
