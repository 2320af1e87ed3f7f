#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneCore/ImageConverter.hpp"

#include "TestImages.hpp"

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
    for (int i = 0; i < 256; ++i) colors.push_back(RGBColor::hex(static_cast<std::uint32_t>(i) * 0x010101));
    return palette(PaletteMapping::nearestRGB, colors);
}

const ImagePalette blackOrWhiteNearest = palette(PaletteMapping::nearestRGB, {{0, 0, 0}, {255, 255, 255}});

ImagePointer convert(const ImagePointer& image, const ImagePalette& palette, int pixelSize = 1,
                     DitherMode dither = DitherMode::none, ImageAdjustments adjustments = neutral)
{
    return ImageConverter().renderPixelGrid(*image, palette, pixelSize, dither, adjustments, {});
}

std::vector<std::uint8_t> redChannel(const Image& image)
{
    std::vector<std::uint8_t> values;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) values.push_back(image.pixel(x, y)[0]);
    return values;
}

}  // namespace

// ---- Arguments and their order ------------------------------------------------------------

struct RefusalRow {
    const char* name;
    int pixelSize;
    ImageAdjustments adjustments;
    ImagePalette palette;
    ImageConversionErrorCase expected;
};

void PrintTo(const RefusalRow& row, std::ostream* out) { *out << row.name; }

class ConverterRefusals : public testing::TestWithParam<RefusalRow> {};

TEST_P(ConverterRefusals, ComeBeforeAnyWorkInTheirOrder)
{
    const auto& row = GetParam();
    std::stop_source cancelled;
    cancelled.request_stop();
    try {
        ImageConverter().renderPixelGrid(*solidImage(4, 4, grey(100)), row.palette, row.pixelSize, DitherMode::none,
                                         row.adjustments, cancelled.get_token());
        FAIL() << "no error";
    } catch (const ImageConversionError& error) {
        EXPECT_EQ(error.errorCase(), row.expected);
        EXPECT_STREQ(error.what(), message(row.expected));
    }
}

const ImagePalette noColours = palette(PaletteMapping::nearestRGB, {});

INSTANTIATE_TEST_SUITE_P(
    Order, ConverterRefusals,
    testing::Values(
        RefusalRow{"ZeroPixelSizeFirst", 0, {9, 1, 1}, noColours, ImageConversionErrorCase::invalidPixelSize},
        RefusalRow{"NegativePixelSize", -3, neutral, ImagePalette::gameBoy(), ImageConversionErrorCase::invalidPixelSize},
        RefusalRow{"AdjustmentsBeforePalette", 8, {2.5f, 1, 1}, noColours, ImageConversionErrorCase::invalidAdjustments},
        RefusalRow{"NaNGamma", 8, {0, 1, std::numeric_limits<float>::quiet_NaN()}, ImagePalette::nes(),
                   ImageConversionErrorCase::invalidAdjustments},
        RefusalRow{"NearestWithoutColours", 8, neutral, noColours, ImageConversionErrorCase::emptyPalette},
        RefusalRow{"BandsWithoutColours", 8, neutral, palette(PaletteMapping::brightnessBands, {}),
                   ImageConversionErrorCase::emptyPalette},
        RefusalRow{"BlackAndWhiteWithOneColour", 8, neutral, palette(PaletteMapping::blackAndWhite, {{0, 0, 0}}),
                   ImageConversionErrorCase::emptyPalette}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageConverter, ErrorMessagesArePortuguese)
{
    EXPECT_STREQ(ImageConversionError(ImageConversionErrorCase::invalidPixelSize).what(),
                 "O tamanho do pixel deve ser maior que zero.");
    EXPECT_STREQ(ImageConversionError(ImageConversionErrorCase::emptyPalette).what(),
                 "A paleta precisa conter ao menos uma cor.");
    EXPECT_STREQ(ImageConversionError(ImageConversionErrorCase::invalidAdjustments).what(),
                 "Exposição, contraste ou gamma fora do intervalo permitido.");
    EXPECT_STREQ(ImageConversionError(ImageConversionErrorCase::bitmapCreationFailed).what(),
                 "Não foi possível criar o bitmap.");
}

TEST(ImageConverter, OneColourPalettesAreAcceptedExceptForBlackAndWhite)
{
    const auto grid = convert(solidImage(2, 2, grey(10)), ImagePalette::custom({{1, 2, 3}}));
    EXPECT_EQ(pixelAt(*grid, 1, 1), (Pixel{1, 2, 3, 255}));
}

// ---- Grid size and the downscale -----------------------------------------------------------

struct GridSizeRow {
    int width, height, pixelSize, gridWidth, gridHeight;
};

void PrintTo(const GridSizeRow& row, std::ostream* out) { *out << row.width << "×" << row.height << " at " << row.pixelSize; }

class GridSizes : public testing::TestWithParam<GridSizeRow> {};

TEST_P(GridSizes, RoundPartialBlocksUp)
{
    const auto& row = GetParam();
    const auto grid = convert(solidImage(row.width, row.height, grey(50)), ImagePalette::original(), row.pixelSize);
    EXPECT_EQ(grid->width(), row.gridWidth);
    EXPECT_EQ(grid->height(), row.gridHeight);
    EXPECT_EQ(grid->alphaMode(), AlphaMode::premultiplied);
    EXPECT_EQ(pixelAt(*grid, row.gridWidth - 1, row.gridHeight - 1), grey(50)) << "stretched, not padded";
}

INSTANTIATE_TEST_SUITE_P(Sizes, GridSizes,
                         testing::Values(GridSizeRow{100, 61, 8, 13, 8}, GridSizeRow{1, 1, 40, 1, 1},
                                         GridSizeRow{80, 40, 40, 2, 1}, GridSizeRow{81, 40, 40, 3, 1},
                                         GridSizeRow{5, 7, std::numeric_limits<int>::max(), 1, 1},
                                         GridSizeRow{3, 2, 1, 3, 2}));

TEST(AreaDownscale, CountsPartlyCoveredPixelsByTheirShare)
{
    // Three columns into two: each block covers one and a half source pixels.
    const auto image = imageOf(3, 1, {grey(0), grey(90), grey(180)});
    const auto grid = convert(image, ImagePalette::original(), 2);
    ASSERT_EQ(grid->width(), 2);
    EXPECT_EQ(pixelAt(*grid, 0, 0), grey(30));   // (0 + 45) ÷ 1.5
    EXPECT_EQ(pixelAt(*grid, 1, 0), grey(150));  // (45 + 180) ÷ 1.5
}

TEST(AreaDownscale, AveragesWholeBlocksAndRoundsHalvesUp)
{
    const auto image = imageOf(4, 2, {grey(0), grey(255), grey(10), grey(20),  //
                                      grey(255), grey(0), grey(30), grey(41)});
    const auto grid = convert(image, ImagePalette::original(), 2);
    EXPECT_EQ(pixelAt(*grid, 0, 0), grey(128));  // 127.5
    EXPECT_EQ(pixelAt(*grid, 1, 0), grey(25));   // 25.25
}

TEST(AreaDownscale, AveragesPremultipliedColoursOfStraightOrPremultipliedPictures)
{
    // An opaque red beside a transparent pixel gives half-transparent full red, not a darker red.
    const auto premultiplied = imageOf(2, 1, {{255, 0, 0, 255}, {0, 0, 0, 0}});
    EXPECT_EQ(pixelAt(*convert(premultiplied, ImagePalette::original(), 2), 0, 0), (Pixel{128, 0, 0, 128}));
    const auto straight = imageOf(2, 1, {{255, 0, 0, 255}, {0, 255, 0, 0}}, AlphaMode::straight);
    EXPECT_EQ(pixelAt(*convert(straight, ImagePalette::original(), 2), 0, 0), (Pixel{128, 0, 0, 128}));
}

TEST(AreaDownscale, LargePicturesGiveTheSameBlocksAsSmallOnes)
{
    // Large enough to be split among threads: every block of a 2048 × 1024 picture of 8 × 8 tiles.
    std::vector<Pixel> pixels;
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 2048; ++x)
            pixels.push_back(grey(static_cast<std::uint8_t>((x / 8 * 7 + y / 8 * 13) % 256)));
    const auto grid = convert(imageOf(2048, 1024, pixels), ImagePalette::original(), 8);
    for (int y = 0; y < grid->height(); ++y)
        for (int x = 0; x < grid->width(); ++x)
            ASSERT_EQ(pixelAt(*grid, x, y), grey(static_cast<std::uint8_t>((x * 7 + y * 13) % 256))) << x << "," << y;
}

// ---- Tone curve -----------------------------------------------------------------------------

TEST(ImageConverter, OriginalPaletteAppliesOnlyTheToneCurveWhateverTheDither)
{
    for (const auto dither : allDitherModes) {
        const auto grid = convert(imageOf(2, 1, {grey(100), {50, 50, 50, 128}}), ImagePalette::original(), 1, dither,
                                  {1, 1, 1});
        EXPECT_EQ(pixelAt(*grid, 0, 0), grey(200)) << rawValue(dither);
        // 50 at alpha 128 is 100 un-premultiplied; doubled to 200 and premultiplied again: 100.
        EXPECT_EQ(pixelAt(*grid, 1, 0), (Pixel{100, 100, 100, 128})) << rawValue(dither);
    }
}

TEST(ImageConverter, NeutralAdjustmentsLeaveBlocksUntouched)
{
    const auto image = imageOf(2, 1, {{13, 200, 77, 255}, {20, 30, 40, 41}});
    const auto grid = convert(image, ImagePalette::original());
    EXPECT_EQ(pixelAt(*grid, 0, 0), (Pixel{13, 200, 77, 255}));
    EXPECT_EQ(pixelAt(*grid, 1, 0), (Pixel{20, 30, 40, 41}));
}

// ---- Mapping rules and thresholds ------------------------------------------------------------

struct MappingRow {
    const char* name;
    ImagePalette palette;
    Pixel input;
    Pixel expected;
};

void PrintTo(const MappingRow& row, std::ostream* out) { *out << row.name; }

class MappingRules : public testing::TestWithParam<MappingRow> {};

TEST_P(MappingRules, MapEachBlock)
{
    const auto& row = GetParam();
    EXPECT_EQ(pixelAt(*convert(imageOf(1, 1, {row.input}), row.palette), 0, 0), row.expected);
}

const ImagePalette fourBands = palette(PaletteMapping::brightnessBands, {{1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}});
const ImagePalette threeColourBlackAndWhite =
    palette(PaletteMapping::blackAndWhite, {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}});

INSTANTIATE_TEST_SUITE_P(
    Thresholds, MappingRules,
    testing::Values(MappingRow{"WhiteIsTheLastBand", fourBands, grey(255), {4, 0, 0, 255}},
                    MappingRow{"SixtyThreeIsTheFirstBand", fourBands, grey(63), {1, 0, 0, 255}},
                    MappingRow{"SixtyFourIsTheSecondBand", fourBands, grey(64), {2, 0, 0, 255}},
                    MappingRow{"BrightnessIsTheFlooredMean", fourBands, {64, 64, 63, 255}, {1, 0, 0, 255}},
                    MappingRow{"SumOf384IsBlack", ImagePalette::blackAndWhite(), {128, 128, 128, 255}, grey(0)},
                    MappingRow{"SumOf385IsWhite", ImagePalette::blackAndWhite(), {129, 128, 128, 255}, grey(255)},
                    MappingRow{"OnlyTheFirstTwoColoursCount", threeColourBlackAndWhite, {255, 0, 0, 255}, grey(0)},
                    MappingRow{"NearestRGB", ImagePalette::cga(), {90, 250, 240, 255}, {0x55, 0xFF, 0xFF, 255}},
                    MappingRow{"TieGoesToTheEarlierColour", palette(PaletteMapping::nearestRGB, {{0, 0, 0}, {2, 0, 0}}),
                               {1, 0, 0, 255}, {0, 0, 0, 255}},
                    MappingRow{"TieInTheOtherOrder", palette(PaletteMapping::nearestRGB, {{2, 0, 0}, {0, 0, 0}}),
                               {1, 0, 0, 255}, {2, 0, 0, 255}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Alpha ----------------------------------------------------------------------------------

class AlphaInEveryMode : public testing::TestWithParam<DitherMode> {};

TEST_P(AlphaInEveryMode, TransparentBlocksStayAndHalfTransparentOnesAreMappedByTheirOwnColour)
{
    // (100, 100, 100) at alpha 128 is (199, 199, 199): white, although its stored bytes sum to 300.
    const auto image = imageOf(2, 1, {{0, 0, 0, 0}, {100, 100, 100, 128}});
    const auto grid = convert(image, ImagePalette::blackAndWhite(), 1, GetParam(), {0, 1, 1.0001f});
    EXPECT_EQ(pixelAt(*grid, 0, 0), (Pixel{0, 0, 0, 0}));
    EXPECT_EQ(pixelAt(*grid, 1, 0), (Pixel{128, 128, 128, 128}));
}

INSTANTIATE_TEST_SUITE_P(Modes, AlphaInEveryMode, testing::ValuesIn(allDitherModes),
                         [](const auto& info) { return std::string(rawValue(info.param)); });

// ---- Dithering --------------------------------------------------------------------------------

TEST(BayerDither, OffsetsAFlatFieldByTheRepeatingMatrix)
{
    constexpr int matrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const auto grid = convert(solidImage(8, 8, grey(128)), everyGrey(), 1, DitherMode::bayer4x4);
    EXPECT_EQ(pixelAt(*grid, 0, 0), grey(98));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(pixelAt(*grid, x, y), grey(static_cast<std::uint8_t>(128 + 4 * matrix[y % 4][x % 4] - 30)))
                << x << "," << y;
}

TEST(BayerDither, ClampsOffsetChannels)
{
    const auto grid = convert(imageOf(2, 1, {grey(10), grey(254)}), everyGrey(), 1, DitherMode::bayer4x4);
    EXPECT_EQ(pixelAt(*grid, 0, 0), grey(0));    // 10 − 30
    EXPECT_EQ(pixelAt(*grid, 1, 0), grey(255));  // 254 + 2
}

struct DiffusionRow {
    const char* name;
    int width, height;
    std::vector<std::uint8_t> greys;
    std::vector<std::uint8_t> expected;
};

void PrintTo(const DiffusionRow& row, std::ostream* out) { *out << row.name; }

class FloydSteinberg : public testing::TestWithParam<DiffusionRow> {};

TEST_P(FloydSteinberg, SpreadsErrorsByTheirWeights)
{
    const auto& row = GetParam();
    std::vector<Pixel> pixels;
    for (const auto value : row.greys) pixels.push_back(grey(value));
    const auto grid = convert(imageOf(row.width, row.height, pixels), blackOrWhiteNearest, 1, DitherMode::floydSteinberg);
    EXPECT_EQ(redChannel(*grid), row.expected);
}

// Black or white split at 127.5; a first pixel of 100 leaves an error of 100 (or 200 → −55).
INSTANTIATE_TEST_SUITE_P(
    Weights, FloydSteinberg,
    testing::Values(DiffusionRow{"RowPushesSevenSixteenthsRight", 2, 1, {100, 90}, {0, 255}},  // 90 + 43.75
                    DiffusionRow{"RowPushesNoMore", 2, 1, {100, 80}, {0, 0}},                  // 80 + 43.75
                    DiffusionRow{"ColumnPushesFiveSixteenthsDown", 1, 2, {100, 100}, {0, 255}},  // 100 + 31.25
                    DiffusionRow{"ColumnPushesNoMore", 1, 2, {100, 90}, {0, 0}},                 // 90 + 31.25
                    DiffusionRow{"ThreeSixteenthsDownLeft", 2, 2, {0, 200, 135, 0}, {0, 255, 0, 0}},  // 135 − 10.3
                    DiffusionRow{"OneSixteenthDownRight", 2, 2, {200, 0, 0, 130}, {255, 0, 0, 0}},    // 130 − 3.4
                    DiffusionRow{"NoSerpentine", 3, 2, {100, 0, 0, 0, 0, 200}, {0, 0, 0, 0, 0, 255}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FloydSteinberg, RoundsWorkingValuesHalfAwayFromZero)
{
    // 8 lies halfway between 0 and 16 and goes to 0, the earlier; its error of 8 gives the next
    // pixel 15 + 3.5 = 18.5, which rounds to 19 (not 18, as halves to even would).
    const auto greys = palette(PaletteMapping::nearestRGB, {RGBColor::hex(0), RGBColor::hex(0x101010),
                                                            RGBColor::hex(0x121212), RGBColor::hex(0x131313)});
    const auto grid = convert(imageOf(2, 1, {grey(8), grey(15)}), greys, 1, DitherMode::floydSteinberg);
    EXPECT_EQ(redChannel(*grid), (std::vector<std::uint8_t>{0, 19}));
}

TEST(FloydSteinberg, TransparentPixelsNeitherTakeNorPassErrors)
{
    const auto image = imageOf(3, 1, {grey(100), {0, 0, 0, 0}, grey(90)});
    const auto grid = convert(image, blackOrWhiteNearest, 1, DitherMode::floydSteinberg);
    EXPECT_EQ(pixelAt(*grid, 1, 0), (Pixel{0, 0, 0, 0}));
    EXPECT_EQ(pixelAt(*grid, 2, 0), grey(0));
}

// ---- Cancellation -------------------------------------------------------------------------------

struct CancellationRow {
    const char* name;
    ImagePalette palette;
    DitherMode dither;
    ImageAdjustments adjustments;
    bool throws;
};

void PrintTo(const CancellationRow& row, std::ostream* out) { *out << row.name; }

class CancelledBeforeTheCall : public testing::TestWithParam<CancellationRow> {};

TEST_P(CancelledBeforeTheCall, StopsAtTheFirstPassThatChecks)
{
    const auto& row = GetParam();
    std::stop_source source;
    source.request_stop();
    const auto run = [&] {
        return ImageConverter().renderPixelGrid(*solidImage(8, 8, grey(90)), row.palette, 2, row.dither,
                                                row.adjustments, source.get_token());
    };
    if (row.throws) {
        EXPECT_THROW(run(), CancellationError);
    } else {
        EXPECT_EQ(run()->width(), 4);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Passes, CancelledBeforeTheCall,
    testing::Values(CancellationRow{"OriginalNeutralNeverChecks", ImagePalette::original(), DitherMode::floydSteinberg,
                                    neutral, false},
                    CancellationRow{"ToneCurveChecks", ImagePalette::original(), DitherMode::none, {0, 1.2f, 1}, true},
                    CancellationRow{"MappingChecks", ImagePalette::nes(), DitherMode::none, neutral, true},
                    CancellationRow{"BayerChecks", ImagePalette::gameBoy(), DitherMode::bayer4x4, neutral, true},
                    CancellationRow{"DiffusionChecks", ImagePalette::doom(), DitherMode::floydSteinberg, neutral, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Upscale -------------------------------------------------------------------------------------

TEST(Upscale, KeepsBlocksHardEdged)
{
    const Pixel a{255, 0, 0, 255}, b{0, 255, 0, 255}, c{0, 0, 255, 255}, d{10, 20, 30, 40};
    const auto image = ImageConverter().upscale(*imageOf(2, 2, {a, b, c, d}), 5, 5);
    ASSERT_EQ(image->width(), 5);
    ASSERT_EQ(image->height(), 5);
    const int source[5] = {0, 0, 1, 1, 1};
    const Pixel grid[2][2] = {{a, b}, {c, d}};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(pixelAt(*image, x, y), grid[source[y]][source[x]]) << x << "," << y;
}

TEST(Upscale, SamplesAtPixelCentresAndPremultiplies)
{
    // Shrinking 4 to 2 samples source columns 1 and 3, the ones under the centres.
    const auto straight = imageOf(4, 1, {grey(1), {200, 0, 0, 128}, grey(2), grey(3)}, AlphaMode::straight);
    const auto image = ImageConverter().upscale(*straight, 2, 1);
    EXPECT_EQ(image->alphaMode(), AlphaMode::premultiplied);
    EXPECT_EQ(pixelAt(*image, 0, 0), (Pixel{100, 0, 0, 128}));
    EXPECT_EQ(pixelAt(*image, 1, 0), grey(3));
}

TEST(Upscale, RefusesSizesThatCannotBeMade)
{
    const auto image = solidImage(2, 2, grey(1));
    const int largest = std::numeric_limits<int>::max();
    for (const auto& [width, height] : {std::pair{0, 5}, std::pair{5, -1}, std::pair{largest, largest}}) {
        try {
            ImageConverter().upscale(*image, width, height);
            ADD_FAILURE() << width << "×" << height;
        } catch (const ImageConversionError& error) {
            EXPECT_EQ(error.errorCase(), ImageConversionErrorCase::bitmapCreationFailed);
        }
    }
}

TEST(ImageConverter, RenderScalesTheGridBackToThePictureSize)
{
    const auto image = imageOf(3, 1, {grey(10), grey(10), grey(200)});
    const auto rendered = ImageConverter().render(*image, blackOrWhiteNearest, 2, DitherMode::none, neutral, {});
    ASSERT_EQ(rendered->width(), 3);
    ASSERT_EQ(rendered->height(), 1);
    // Blocks: (10 + 5) ÷ 1.5 = 10 → black; (5 + 200) ÷ 1.5 ≈ 137 → white. The middle pixel's
    // centre lies on the second block.
    EXPECT_EQ(redChannel(*rendered), (std::vector<std::uint8_t>{0, 255, 255}));
}
