#include "ImageFileFixtures.hpp"

#include "TilvaneCore/ImageFileLoader.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <thread>

using namespace tilvane;
using namespace tilvane::imagefiles;

namespace {

using Colour = std::array<int, 3>;

constexpr Colour red{255, 0, 0};
constexpr Colour green{0, 255, 0};
constexpr Colour blue{0, 0, 255};

// JPEG and scaling move colours a little; the tests tell far-apart colours apart.
void expectColourNear(const ImagePointer& image, int x, int y, Colour expected, int tolerance = 40)
{
    const std::uint8_t* pixel = image->pixel(x, y);
    for (std::size_t channel = 0; channel < 3; ++channel) {
        EXPECT_NEAR(pixel[channel], expected[channel], tolerance) << "channel " << channel << " at " << x << "," << y;
    }
    EXPECT_EQ(pixel[3], 255);
}

// Left half red, right half blue.
VipsImagePointer splitImage(int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[(static_cast<std::size_t>(y) * width + x) * 3 + (x < width / 2 ? 0 : 2)] = 255;
        }
    }
    return makeVipsImage(width, height, 3, pixels);
}

class ImageFileLoaderTest : public ::testing::Test {
protected:
    TemporaryFolder folder;
};

struct OrientationCase {
    const char* name;
    int orientation;
    int width;
    int height;
    Colour topLeft;
    Colour bottomRight;
};

class ImageFileLoaderOrientationTest : public ImageFileLoaderTest,
                                       public ::testing::WithParamInterface<OrientationCase> {};

TEST_P(ImageFileLoaderOrientationTest, TurnsThePictureUpright)
{
    const OrientationCase& row = GetParam();
    VipsImagePointer tagged = splitImage(60, 40);
    vips_image_set_int(tagged.get(), "orientation", row.orientation);
    saveVipsImage(tagged, folder / "photo.jpg", "[Q=95]");

    const ImagePointer image = ImageFileLoader::load(folder / "photo.jpg", 2048);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width(), row.width);
    EXPECT_EQ(image->height(), row.height);
    expectColourNear(image, 2, 2, row.topLeft);
    expectColourNear(image, image->width() - 3, image->height() - 3, row.bottomRight);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, ImageFileLoaderOrientationTest,
    ::testing::Values(OrientationCase{"Upright", 1, 60, 40, red, blue},
                      OrientationCase{"UpsideDown", 3, 60, 40, blue, red},
                      OrientationCase{"TurnedClockwise", 6, 40, 60, red, blue},
                      OrientationCase{"TurnedAnticlockwise", 8, 40, 60, blue, red}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImageFileLoaderTest, ShrinksToTheLongestSideButNeverEnlarges)
{
    saveVipsImage(solidVipsImage(6000, 4000, 0, 255, 0), folder / "large.jpg");
    saveVipsImage(solidVipsImage(640, 480, 0, 0, 255), folder / "small.png");
    saveVipsImage(solidVipsImage(300, 900, 255, 0, 0), folder / "tall.png");

    const ImagePointer large = ImageFileLoader::load(folder / "large.jpg", 2048);
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(large->width(), 2048);
    EXPECT_NEAR(large->height(), 1365, 1);
    expectColourNear(large, 1000, 700, green);

    const ImagePointer small = ImageFileLoader::load(folder / "small.png", 2048);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->width(), 640);
    EXPECT_EQ(small->height(), 480);

    const ImagePointer tall = ImageFileLoader::load(folder / "tall.png", 300);
    ASSERT_NE(tall, nullptr);
    EXPECT_EQ(tall->width(), 100);
    EXPECT_EQ(tall->height(), 300);

    const ImagePointer exact = ImageFileLoader::load(folder / "small.png", 640);
    ASSERT_NE(exact, nullptr);
    EXPECT_EQ(exact->width(), 640);
    EXPECT_EQ(exact->height(), 480);
}

TEST_F(ImageFileLoaderTest, ReadsTheFirstFrameOrPage)
{
    const VipsImagePointer pages = solidPages(20, 10, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}});
    saveVipsImage(pages, folder / "animation.gif");
    saveVipsImage(pages, folder / "pages.tif");

    for (const char* name : {"animation.gif", "pages.tif"}) {
        SCOPED_TRACE(name);
        const ImagePointer image = ImageFileLoader::load(folder / name, 2048);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width(), 20);
        EXPECT_EQ(image->height(), 10);
        expectColourNear(image, 10, 5, red, 8);
    }
}

TEST_F(ImageFileLoaderTest, GivesEightBitRGBAWithStraightAlpha)
{
    // A half-transparent pixel and a fully transparent one.
    saveVipsImage(makeVipsImage(2, 1, 4, {200, 100, 50, 128, 0, 0, 0, 0}), folder / "alpha.png");
    // Grey, 16 bits per sample: 0x8080 is 128 in eight bits.
    VipsImagePointer grey = makeVipsImage(1, 1, 1, {0});
    VipsImage* wide = nullptr;
    ASSERT_EQ(vips_linear1(grey.get(), &wide, 1.0, 32896.0, nullptr), 0);
    VipsImage* ushort = nullptr;
    ASSERT_EQ(vips_cast(wide, &ushort, VIPS_FORMAT_USHORT, nullptr), 0);
    g_object_unref(wide);
    VipsImagePointer grey16(ushort);
    vips_image_set_int(grey16.get(), "bits-per-sample", 16);
    grey16->Type = VIPS_INTERPRETATION_GREY16;
    saveVipsImage(grey16, folder / "grey16.png");

    const ImagePointer alpha = ImageFileLoader::load(folder / "alpha.png", 2048);
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(alpha->alphaMode(), AlphaMode::straight);
    const std::uint8_t* visible = alpha->pixel(0, 0);
    EXPECT_NEAR(visible[0], 200, 1);
    EXPECT_NEAR(visible[1], 100, 1);
    EXPECT_NEAR(visible[2], 50, 1);
    EXPECT_EQ(visible[3], 128);
    EXPECT_EQ(alpha->pixel(1, 0)[3], 0);

    VipsImage* cmyk = nullptr;
    ASSERT_EQ(vips_icc_export(solidVipsImage(16, 16, 255, 0, 0).get(), &cmyk, "output_profile", "cmyk", nullptr), 0);
    saveVipsImage(VipsImagePointer(cmyk), folder / "cmyk.jpg");

    const ImagePointer cmykImage = ImageFileLoader::load(folder / "cmyk.jpg", 2048);
    ASSERT_NE(cmykImage, nullptr);
    expectColourNear(cmykImage, 8, 8, red, 60);

    const ImagePointer greyImage = ImageFileLoader::load(folder / "grey16.png", 2048);
    ASSERT_NE(greyImage, nullptr);
    const std::uint8_t* pixel = greyImage->pixel(0, 0);
    EXPECT_EQ((std::vector<int>{pixel[0], pixel[1], pixel[2], pixel[3]}), (std::vector<int>{128, 128, 128, 255}));
}

struct BadFileCase {
    const char* name;
    std::function<void(const std::filesystem::path&)> make;
};

class ImageFileLoaderBadFileTest : public ImageFileLoaderTest, public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(ImageFileLoaderBadFileTest, GivesNothing)
{
    const auto path = folder / "input";
    GetParam().make(path);
    EXPECT_EQ(ImageFileLoader::load(path, 2048), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ImageFileLoaderBadFileTest,
    ::testing::Values(
        BadFileCase{"Missing", [](const auto&) {}},
        BadFileCase{"Empty", [](const auto& path) { writeBytes(path, {}); }},
        BadFileCase{"Text", [](const auto& path) { writeText(path, "Isto não é uma imagem.\n"); }},
        BadFileCase{"Garbage",
                    [](const auto& path) {
                        std::vector<std::uint8_t> bytes(4096);
                        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 31 + 7);
                        writeBytes(path, bytes);
                    }},
        BadFileCase{"JPEGSignatureOnly", [](const auto& path) { writeBytes(path, {0xFF, 0xD8, 0xFF, 0xE0}); }},
        BadFileCase{"Folder", [](const auto& path) { std::filesystem::create_directory(path); }},
        BadFileCase{"NamedPipe", [](const auto& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }}),
    [](const auto& info) { return std::string(info.param.name); });

// Every cut of the file, from inside the header to just before the end, must be refused, not
// handed back half decoded.
TEST_F(ImageFileLoaderTest, RefusesEveryTruncationOfAPicture)
{
    std::vector<std::uint8_t> pixels(300 * 200 * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 7919 % 251);
    const VipsImagePointer picture = makeVipsImage(300, 200, 3, pixels);
    for (const char* suffix : {".jpg", ".png", ".gif", ".webp", ".tif"}) {
        const auto whole = folder / (std::string("whole") + suffix);
        saveVipsImage(picture, whole);
        ASSERT_NE(ImageFileLoader::load(whole, 100), nullptr) << suffix;
        const std::vector<std::uint8_t> bytes = readBytes(whole);
        for (std::size_t part = 1; part < 40; ++part) {
            const auto cut = folder / (std::string("cut") + suffix);
            writeBytes(cut, {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() * part / 40)});
            EXPECT_EQ(ImageFileLoader::load(cut, 100), nullptr) << suffix << " cut at " << part << "/40";
        }
    }
}

TEST_F(ImageFileLoaderTest, RefusesFormatsWhoseLoadersLibvipsMarksUntrusted)
{
    const auto path = folder / "picture.ppm";
    std::vector<std::uint8_t> bytes{'P', '6', '\n', '2', ' ', '1', '\n', '2', '5', '5', '\n'};
    bytes.insert(bytes.end(), {255, 0, 0, 0, 0, 255});
    writeBytes(path, bytes);
    EXPECT_EQ(ImageFileLoader::load(path, 2048), nullptr);
    EXPECT_EQ(VipsImagePointer(vips_image_new_from_file(path.c_str(), nullptr)), nullptr) << "libvips is not blocking";

    // The file itself is a valid picture once the block is lifted.
    vips_block_untrusted_set(FALSE);
    const VipsImagePointer unblocked(vips_image_new_from_file(path.c_str(), nullptr));
    vips_block_untrusted_set(TRUE);
    ASSERT_TRUE(unblocked);
    EXPECT_EQ(vips_image_get_width(unblocked.get()), 2);
}

TEST_F(ImageFileLoaderTest, RefusesALongestSideBelowOne)
{
    saveVipsImage(solidVipsImage(8, 8, 255, 0, 0), folder / "fine.png");
    ASSERT_NE(ImageFileLoader::load(folder / "fine.png", 1), nullptr);
    EXPECT_EQ(ImageFileLoader::load(folder / "fine.png", 0), nullptr);
    EXPECT_EQ(ImageFileLoader::load(folder / "fine.png", -2048), nullptr);
}

TEST_F(ImageFileLoaderTest, RefusesPicturesDeclaringMoreThanOneHundredMegapixels)
{
    // One-bit PNGs stay small on disk however many pixels they declare.
    const auto bilevel = [](int width, int height) {
        VipsImage* black = nullptr;
        EXPECT_EQ(vips_black(&black, width, height, nullptr), 0);
        return VipsImagePointer(black);
    };
    saveVipsImage(bilevel(10000, 10000), folder / "limit.png", "[bitdepth=1,compression=1]");
    saveVipsImage(bilevel(10001, 10000), folder / "over.png", "[bitdepth=1,compression=1]");

    const ImagePointer atLimit = ImageFileLoader::load(folder / "limit.png", 2048);
    ASSERT_NE(atLimit, nullptr);
    EXPECT_EQ(atLimit->width(), 2048);
    EXPECT_EQ(ImageFileLoader::load(folder / "over.png", 2048), nullptr);
}

TEST_F(ImageFileLoaderTest, LoadsFromManyThreadsAtOnce)
{
    saveVipsImage(splitImage(64, 32), folder / "split.png");
    std::vector<ImagePointer> results(8);
    {
        std::vector<std::jthread> threads;
        for (auto& result : results) {
            threads.emplace_back([&result, this] { result = ImageFileLoader::load(folder / "split.png", 32); });
        }
    }
    for (const auto& image : results) {
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width(), 32);
        EXPECT_EQ(image->height(), 16);
        expectColourNear(image, 2, 8, red);
        expectColourNear(image, 29, 8, blue);
    }
}

}  // namespace
