#include "ImageFileFixtures.hpp"

#include "TestSupport/AddressSpaceLimit.hpp"
#include "TestSupport/DescriptorLimit.hpp"
#include "TilvaneCore/ImageFileLoader.hpp"

#include <gtest/gtest.h>
#include <lcms2.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <string>

using namespace tilvane;
using namespace tilvane::imagefiles;

namespace {

constexpr Colour red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255};

// JPEG and scaling move colours a little; the tests tell far-apart colours apart.
void expectColourNear(const ImagePointer& image, int x, int y, Colour expected, int tolerance = 40)
{
    ASSERT_NE(image, nullptr);
    const std::uint8_t* pixel = image->pixel(x, y);
    for (std::size_t c = 0; c < 3; ++c) EXPECT_NEAR(pixel[c], expected[c], tolerance) << c << " at " << x << "," << y;
    EXPECT_EQ(pixel[3], 255);
}

void expectSize(const ImagePointer& image, int width, int height)
{
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(std::pair(image->width(), image->height()), std::pair(width, height));
}

// Left half red, right half blue.
VipsImagePointer splitImage(int width, int height)
{
    return rgbVipsImage(width, height, [width](int x, int) { return x < width / 2 ? red : blue; });
}

// One-bit PNGs stay small on disk however many pixels they declare.
void saveBlackBilevelPNG(int width, int height, const std::filesystem::path& path)
{
    VipsImage* black = nullptr;
    ASSERT_EQ(vips_black(&black, width, height, nullptr), 0);
    saveVipsImage(VipsImagePointer(black), path, "[bitdepth=1,compression=1]");
}

// Left half red, right half blue, computed by libvips as it is saved: large pictures are made without
// holding their pixels.
VipsImagePointer largeSplitImage(int width, int height)
{
    VipsImage *coordinates = nullptr, *x = nullptr, *left = nullptr, *right = nullptr, *none = nullptr;
    EXPECT_EQ(vips_xyz(&coordinates, width, height, nullptr), 0);
    const VipsImagePointer ownedCoordinates(coordinates);
    EXPECT_EQ(vips_extract_band(coordinates, &x, 0, nullptr), 0);
    const VipsImagePointer ownedX(x);
    // 255 on the left half, 0 on the right, and the other way round.
    EXPECT_EQ(vips_less_const1(x, &left, width / 2, nullptr), 0);
    const VipsImagePointer ownedLeft(left);
    EXPECT_EQ(vips_invert(left, &right, nullptr), 0);
    const VipsImagePointer ownedRight(right);
    EXPECT_EQ(vips_black(&none, width, height, nullptr), 0);
    const VipsImagePointer ownedNone(none);
    VipsImage* bands[] = {left, none, right};
    VipsImage* split = nullptr;
    EXPECT_EQ(vips_bandjoin(bands, &split, 3, nullptr), 0);
    // Saved as colour, not as three bands of grey.
    VipsImage* colour = nullptr;
    EXPECT_EQ(vips_copy(split, &colour, "interpretation", VIPS_INTERPRETATION_sRGB, nullptr), 0);
    g_object_unref(split);
    return VipsImagePointer(colour);
}

class ImageFileLoaderTest : public ::testing::Test {
protected:
    TemporaryFolder folder;
};

TEST_F(ImageFileLoaderTest, TurnsExifRotatedPicturesUpright)
{
    struct Row {
        int orientation, width, height;
        Colour topLeft, bottomRight;
    };
    for (const Row& row : {Row{3, 60, 40, blue, red}, Row{6, 40, 60, red, blue}, Row{8, 40, 60, blue, red}}) {
        SCOPED_TRACE(row.orientation);
        VipsImagePointer tagged = splitImage(60, 40);
        vips_image_set_int(tagged.get(), "orientation", row.orientation);
        saveVipsImage(tagged, folder / "photo.jpg", "[Q=95]");
        const ImagePointer image = ImageFileLoader::load(folder / "photo.jpg", 2048);
        expectSize(image, row.width, row.height);
        expectColourNear(image, 2, 2, row.topLeft);
        expectColourNear(image, image->width() - 3, image->height() - 3, row.bottomRight);
    }
}

TEST_F(ImageFileLoaderTest, ShrinksToTheLongestSideButNeverEnlarges)
{
    saveVipsImage(solidVipsImage(6000, 4000, green), folder / "large.jpg");
    saveVipsImage(solidVipsImage(640, 480, blue), folder / "small.png");
    saveVipsImage(solidVipsImage(300, 900, red), folder / "tall.png");
    saveBlackBilevelPNG(10000, 10000, folder / "hundred-megapixels.png");

    const ImagePointer large = ImageFileLoader::load(folder / "large.jpg", 2048);
    expectSize(large, 2048, 1365);
    expectColourNear(large, 1000, 700, green);
    expectSize(ImageFileLoader::load(folder / "small.png", 2048), 640, 480);
    expectSize(ImageFileLoader::load(folder / "tall.png", 300), 100, 300);
    expectSize(ImageFileLoader::load(folder / "tall.png", 1), 1, 1);
    expectSize(ImageFileLoader::load(folder / "hundred-megapixels.png", 2048), 2048, 2048);
    EXPECT_EQ(
        std::pair(ImageFileLoader::load(folder / "tall.png", 0), ImageFileLoader::load(folder / "tall.png", -2048)),
        (std::pair<ImagePointer, ImagePointer>()));
}

// Decoding a JPEG at 1/8 of its size must not leave its shorter side with no pixel at all.
TEST_F(ImageFileLoaderTest, LoadsThinJPEGsThatShrinkAFewTimes)
{
    struct Row {
        int width, height, maxDimension, expectedWidth, expectedHeight;
    };
    for (const Row& row : {Row{8192, 2, 1024, 1024, 1}, Row{8, 2, 1, 1, 1}, Row{2, 16400, 2048, 1, 2048},
                           Row{16384, 7, 2048, 2048, 1}}) {
        SCOPED_TRACE(std::to_string(row.width) + "x" + std::to_string(row.height));
        saveVipsImage(solidVipsImage(row.width, row.height, red), folder / "thin.jpg");
        const ImagePointer image = ImageFileLoader::load(folder / "thin.jpg", row.maxDimension);
        expectSize(image, row.expectedWidth, row.expectedHeight);
        expectColourNear(image, 0, 0, red);
    }
}

TEST_F(ImageFileLoaderTest, ReadsTheFirstFrameOrPage)
{
    // Red, green and blue pages stacked top to bottom, as libvips keeps multi-page pictures.
    const VipsImagePointer stacked = rgbVipsImage(20, 30, [](int, int y) {
        return std::array{red, green, blue}[y / 10];
    });
    vips_image_set_int(stacked.get(), "page-height", 10);

    for (const char* name : {"animation.gif", "pages.tif"}) {
        SCOPED_TRACE(name);
        saveVipsImage(stacked, folder / name);
        const ImagePointer image = ImageFileLoader::load(folder / name, 2048);
        expectSize(image, 20, 10);
        expectColourNear(image, 10, 5, red, 8);
    }
}

TEST_F(ImageFileLoaderTest, GivesEightBitSRGBWithStraightAlpha)
{
    saveVipsImage(makeVipsImage(2, 1, 4, {200, 100, 50, 128, 0, 0, 0, 0}), folder / "alpha.png");
    const ImagePointer alpha = ImageFileLoader::load(folder / "alpha.png", 2048);
    expectSize(alpha, 2, 1);
    EXPECT_EQ(alpha->alphaMode(), AlphaMode::straight);
    EXPECT_EQ((std::vector<int>(alpha->pixel(0, 0), alpha->pixel(0, 0) + 8)),
              (std::vector<int>{200, 100, 50, 128, 0, 0, 0, 0}));

    // Grey, 16 bits per sample: 0x8080 is 128 in eight bits.
    const std::uint16_t grey16 = 0x8080;
    saveVipsImage(VipsImagePointer(vips_image_new_from_memory_copy(&grey16, 2, 1, 1, 1, VIPS_FORMAT_USHORT)),
                  folder / "grey16.png", "[bitdepth=16]");
    const ImagePointer greyImage = ImageFileLoader::load(folder / "grey16.png", 2048);
    expectSize(greyImage, 1, 1);
    EXPECT_EQ((std::vector<int>(greyImage->pixel(0, 0), greyImage->pixel(0, 0) + 4)),
              (std::vector<int>{128, 128, 128, 255}));

    VipsImage* cmyk = nullptr;
    ASSERT_EQ(vips_icc_export(solidVipsImage(16, 16, red).get(), &cmyk, "output_profile", "cmyk", nullptr), 0);
    saveVipsImage(VipsImagePointer(cmyk), folder / "cmyk.jpg");
    expectColourNear(ImageFileLoader::load(folder / "cmyk.jpg", 2048), 8, 8, red, 60);
}

// An RGB profile with the given primaries, a D65 white and a pure gamma curve, as libvips reads it from a file.
std::filesystem::path writeRGBProfile(const std::filesystem::path& path, const cmsCIExyYTRIPLE& primaries, double gamma)
{
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    cmsToneCurve* curve = cmsBuildGamma(nullptr, gamma);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    EXPECT_NE(profile, nullptr);
    EXPECT_TRUE(cmsSaveProfileToFile(profile, path.c_str()));
    cmsCloseProfile(profile);
    cmsFreeToneCurve(curve);
    return path;
}

// The sRGB picture converted into `profile` (a libvips profile name or file), which the result carries.
VipsImagePointer convertedToProfile(const VipsImagePointer& srgb, const std::string& profile)
{
    VipsImage* converted = nullptr;
    EXPECT_EQ(vips_icc_transform(srgb.get(), &converted, profile.c_str(), "input_profile", "srgb", nullptr), 0);
    return VipsImagePointer(converted);
}

TEST_F(ImageFileLoaderTest, ConvertsEmbeddedColourProfilesToSRGB)
{
    constexpr Colour teal{40, 160, 120};
    const VipsImagePointer picture = rgbVipsImage(16, 16, [](int x, int) { return x < 8 ? red : teal; });
    const auto adobeRGB =
        writeRGBProfile(folder / "adobe-rgb.icc", {{0.64, 0.33, 1}, {0.21, 0.71, 1}, {0.15, 0.06, 1}}, 563.0 / 256);

    struct Row {
        const char* name;
        std::string profile;
        std::string file;
        int tolerance;
        Colour left;
    };
    for (const Row& row :
         {Row{"Display P3 JPEG", "p3", "p3.jpg", 6, red}, Row{"Display P3 PNG", "p3", "p3.png", 3, red},
          Row{"Adobe RGB PNG", adobeRGB.string(), "adobe.png", 3, red},
          Row{"Adobe RGB JPEG", adobeRGB.string(), "adobe.jpg", 6, red}}) {
        SCOPED_TRACE(row.name);
        saveVipsImage(convertedToProfile(picture, row.profile), folder / row.file, "[Q=100]");
        const ImagePointer image = ImageFileLoader::load(folder / row.file, 2048);
        expectColourNear(image, 2, 8, row.left, row.tolerance);
        expectColourNear(image, 13, 8, teal, row.tolerance);
    }

    // A profile that does not fit the picture (an RGB profile on a grey one) is passed over.
    VipsImagePointer grey(
        vips_image_new_from_memory_copy(std::vector<std::uint8_t>(16, 90).data(), 16, 4, 4, 1, VIPS_FORMAT_UCHAR));
    const auto profile = readBytes(adobeRGB);
    vips_image_set_blob_copy(grey.get(), VIPS_META_ICC_NAME, profile.data(), profile.size());
    saveVipsImage(grey, folder / "grey-with-rgb-profile.png");
    expectColourNear(ImageFileLoader::load(folder / "grey-with-rgb-profile.png", 2048), 1, 1, {90, 90, 90}, 3);

    // A colour inside the printing gamut comes back from CMYK close to where it started.
    saveVipsImage(convertedToProfile(solidVipsImage(16, 16, teal), "cmyk"), folder / "cmyk-teal.jpg", "[Q=100]");
    expectColourNear(ImageFileLoader::load(folder / "cmyk-teal.jpg", 2048), 8, 8, teal, 10);
}

// Stand-ins, in shape and format, for what cameras, phones, scanners and panoramas write, each larger than
// the largest working size: every one reads at every working size, its aspect and its halves kept.
TEST_F(ImageFileLoaderTest, ReadsEveryKindOfPhotographAtEachWorkingSize)
{
    struct Row {
        const char* name;
        int width, height;
        const char* options;
    };
    const Row rows[] = {
        {"camera.jpg", 5824, 4368, "[Q=90]"},
        {"phone.jpg", 4080, 5440, "[Q=90]"},
        {"scan.png", 6000, 4500, ""},
        {"panorama.jpg", 16000, 2000, "[Q=90]"},
        {"phone.webp", 8160, 6120, "[Q=80]"},
        {"pyramid.tif", 9000, 6000, "[tile,pyramid,compression=jpeg]"},
        {"flat.tif", 9000, 6000, "[compression=deflate]"},
    };
    for (const Row& row : rows) {
        saveVipsImage(largeSplitImage(row.width, row.height), folder / row.name, row.options);
        for (const int size : {1024, 2048, 4096}) {
            SCOPED_TRACE(std::string(row.name) + " at " + std::to_string(size));
            const double scale = double(size) / std::max(row.width, row.height);
            const int width = int(std::lround(row.width * scale)), height = int(std::lround(row.height * scale));
            ImageFileLoader::FailureReport why;
            const ImagePointer image = ImageFileLoader::load(folder / row.name, size, &why);
            ASSERT_NE(image, nullptr) << int(why.failure);
            EXPECT_EQ(std::max(image->width(), image->height()), size);
            EXPECT_NEAR(image->width(), width, 1);
            EXPECT_NEAR(image->height(), height, 1);
            expectColourNear(image, image->width() / 4, image->height() / 2, red);
            expectColourNear(image, image->width() * 3 / 4, image->height() / 2, blue);
        }
    }
}

// Pictures of over a hundred megapixels are photographs of today's cameras and scanners, not bombs.
TEST_F(ImageFileLoaderTest, ReadsPicturesOfOverAHundredMegapixels)
{
    saveVipsImage(largeSplitImage(11648, 8736), folder / "camera.jpg", "[Q=85]");
    saveBlackBilevelPNG(12000, 9000, folder / "scan.png");
    const ImagePointer camera = ImageFileLoader::load(folder / "camera.jpg", 2048);
    expectSize(camera, 2048, 1536);
    expectColourNear(camera, 500, 700, red);
    expectColourNear(camera, 1500, 700, blue);
    const ImagePointer scan = ImageFileLoader::load(folder / "scan.png", 2048);
    expectSize(scan, 2048, 1536);
    expectColourNear(scan, 1000, 700, {0, 0, 0}, 0);
}

// A PNG of one colour declaring 1.6 gigapixels in a few hundred kilobytes would take every pixel's decoding
// before it shrinks: it is refused from its header, at once, with its size, whatever the working size.
TEST_F(ImageFileLoaderTest, RefusesAPictureThatWouldDecodeTooMuchWithItsSize)
{
    saveBlackBilevelPNG(40000, 40000, folder / "bomb.png");
    for (const int size : {1024, 2048, 4096}) {
        SCOPED_TRACE(size);
        ImageFileLoader::FailureReport why;
        EXPECT_EQ(ImageFileLoader::load(folder / "bomb.png", size, &why), nullptr);
        EXPECT_EQ(why, (ImageFileLoader::FailureReport{ImageFileLoader::Failure::tooLarge, 40000, 40000}));
    }
    static_assert(40000LL * 25000 <= ImageFileLoader::maxDecodedPixels, "a gigapixel panorama must read whole");
}

// Interlaced PNG is decoded whole before it shrinks: 144 MB for this one, past what the process may map.
// Run in a process of its own (the test program started again), as the limit holds for every thread.
TEST_F(ImageFileLoaderTest, ADecodeThatRunsOutOfMemoryIsTheSystemsFailure)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    VipsImage* black = nullptr;
    ASSERT_EQ(vips_black(&black, 12000, 12000, nullptr), 0);
    saveVipsImage(VipsImagePointer(black), folder / "interlaced.png", "[interlace,bitdepth=1,compression=1]");
    ASSERT_NE(ImageFileLoader::load(folder / "interlaced.png", 1024), nullptr) << "reads with memory to spare";
    const auto readWithLittleMemory = [this] {
        ImageFileLoader::FailureReport why;
        ImagePointer image;
        {
            const tilvane::testing::AddressSpaceLimit limit(64u << 20);
            image = ImageFileLoader::load(folder / "interlaced.png", 1024, &why);
        }
        std::fprintf(stderr, "read: %s, failure %d\n", image ? "yes" : "no", int(why.failure));
        std::exit(!image && why.failure == ImageFileLoader::Failure::system ? EXIT_SUCCESS : EXIT_FAILURE);
    };
    EXPECT_EXIT(readWithLittleMemory(), ::testing::ExitedWithCode(EXIT_SUCCESS), "read: no, failure 1");
}

TEST_F(ImageFileLoaderTest, GivesNothingForWhatIsNoPicture)
{
    std::vector<std::uint8_t> garbage(4096);
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<std::uint8_t>(i * 31 + 7);
    const std::pair<const char*, std::function<void(const std::filesystem::path&)>> rows[] = {
        {"missing", [](const auto&) {}},
        {"empty", [](const auto& path) { writeBytes(path, {}); }},
        {"text", [](const auto& path) { std::ofstream(path) << "Isto não é uma imagem.\n"; }},
        {"garbage", [&](const auto& path) { writeBytes(path, garbage); }},
        {"JPEG signature only",
         [](const auto& path) {
             writeBytes(path, {0xFF, 0xD8, 0xFF, 0xE0});
         }},
        {"folder", [](const auto& path) { std::filesystem::create_directory(path); }},
        {"named pipe", [](const auto& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
        {"format whose loader libvips marks untrusted",
         [](const auto& path) {
             writeBytes(path, {'P', '6', '\n', '2', ' ', '1', '\n', '2', '5', '5', '\n', 255, 0, 0, 0, 0, 255});
         }},
    };
    for (const auto& [name, make] : rows) {
        const auto path = folder / (std::string(name) + ".png");
        make(path);
        EXPECT_EQ(ImageFileLoader::load(path, 2048), nullptr) << name;
    }
    // libvips itself blocks the untrusted loader; the PPM file is valid once the block is lifted.
    const auto ppm = folder / "format whose loader libvips marks untrusted.png";
    EXPECT_EQ(VipsImagePointer(vips_image_new_from_file(ppm.c_str(), nullptr)), nullptr) << "libvips is not blocking";
    vips_block_untrusted_set(FALSE);
    EXPECT_NE(VipsImagePointer(vips_image_new_from_file(ppm.c_str(), nullptr)), nullptr);
    vips_block_untrusted_set(TRUE);
}

// A caller must know whether the file is at fault, or whether the system failed and the same file may read later.
TEST_F(ImageFileLoaderTest, SaysWhetherTheFileOrTheSystemFailed)
{
    const auto picture = folder / "a.png";
    saveBlackBilevelPNG(8, 8, picture);
    const auto text = folder / "text.png";
    std::ofstream(text) << "Isto não é uma imagem.\n";
    using enum ImageFileLoader::Failure;
    const struct {
        const char* name;
        std::filesystem::path path;
        std::optional<unsigned> descriptorsLeft;
        ImageFileLoader::Failure expected;
    } rows[] = {
        {"missing file", folder / "gone.png", std::nullopt, file},
        {"text", text, std::nullopt, file},
        {"folder", folder.path(), std::nullopt, file},
        {"no file descriptor left for the open", picture, 0, system},
    };
    const ImageFileLoader::FailureReport unset{ImageFileLoader::Failure{-1}, -1, -1};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto why = unset;
        std::optional<tilvane::testing::DescriptorLimit> limit;
        if (row.descriptorsLeft) limit.emplace(*row.descriptorsLeft);
        const ImagePointer image = ImageFileLoader::load(row.path, 2048, &why);
        limit.reset();
        EXPECT_EQ(image, nullptr);
        EXPECT_EQ(why, (ImageFileLoader::FailureReport{row.expected}));
    }
    auto why = unset;
    EXPECT_NE(ImageFileLoader::load(picture, 2048, &why), nullptr) << "the picture reads once the system can";
    EXPECT_EQ(why, unset) << "a load that succeeds says nothing of a failure";
}

// A name holding a NUL byte names no file, not the picture its part before the NUL names.
TEST_F(ImageFileLoaderTest, GivesNothingForANameWithANulByte)
{
    const auto picture = folder / "a.png";
    saveBlackBilevelPNG(8, 8, picture);
    ASSERT_NE(ImageFileLoader::load(picture, 2048), nullptr);
    EXPECT_EQ(ImageFileLoader::load(std::filesystem::path(picture.native() + std::string("\0b.png", 6)), 2048),
              nullptr);
}

// Every cut of the file, from inside the header to just before the end, must be refused, not
// handed back half decoded.
TEST_F(ImageFileLoaderTest, RefusesEveryTruncationOfAPicture)
{
    std::vector<std::uint8_t> pixels(300 * 200 * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 7919 % 251);
    const VipsImagePointer picture = makeVipsImage(300, 200, 3, pixels);
    for (const std::string suffix : {".jpg", ".png", ".gif", ".webp", ".tif"}) {
        saveVipsImage(picture, folder / ("whole" + suffix));
        ASSERT_NE(ImageFileLoader::load(folder / ("whole" + suffix), 100), nullptr) << suffix;
        const std::vector<std::uint8_t> bytes = readBytes(folder / ("whole" + suffix));
        for (std::size_t part = 1; part < 40; ++part) {
            writeBytes(folder / ("cut" + suffix),
                       {bytes.begin(), bytes.begin() + std::ptrdiff_t(bytes.size() * part / 40)});
            EXPECT_EQ(ImageFileLoader::load(folder / ("cut" + suffix), 100), nullptr) << suffix << " cut at " << part;
        }
    }
}

TEST_F(ImageFileLoaderTest, LoadsFromManyThreadsAtOnce)
{
    saveVipsImage(splitImage(64, 32), folder / "split.png");
    std::vector<std::future<ImagePointer>> loads;
    for (int i = 0; i < 8; ++i)
        loads.push_back(
            std::async(std::launch::async, [this] { return ImageFileLoader::load(folder / "split.png", 32); }));
    for (auto& load : loads) {
        const ImagePointer image = load.get();
        expectSize(image, 32, 16);
        expectColourNear(image, 2, 8, red);
        expectColourNear(image, 29, 8, blue);
    }
}

}  // namespace
