#include "ImageFileFixtures.hpp"
#include "TestImages.hpp"

#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneCore/GIFExporter.hpp"
#include "TilvaneCore/Uuid.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

using namespace tilvane;
using namespace tilvane::imagefiles;
using namespace tilvane::testing_images;

namespace {

using FrameProvider = std::function<ImagePointer(int)>;
const FrameProvider blackFrame = [](int) { return solidImage(1, 1, grey(0)); };

class GIFExporterTest : public ::testing::Test {
protected:
    void SetUp() override { writeBytes(destination, previousBytes); }

    // The export failed: the destination is untouched and no temporary file is left.
    void expectPreviousFileKept()
    {
        EXPECT_EQ(readBytes(destination), previousBytes);
        EXPECT_EQ(folder.entryNames(), std::vector<std::string>{"out.gif"});
    }

    TemporaryFolder folder;
    std::filesystem::path destination = folder / "out.gif";
    std::vector<std::uint8_t> previousBytes{'o', 'l', 'd'};
};

TEST(GIFExporterDimensions, ScalesTheLongerSideToTheMaximumWithoutOverflow)
{
    constexpr int largest = std::numeric_limits<int>::max();
    constexpr int smallest = std::numeric_limits<int>::min();
    struct Row { const char* name; int width, height, maxDimension; GIFDimensions expected; };
    const Row rows[] = {
        {"reduced", 1600, 900, 1024, {1024, 576}},
        {"enlarged, halves rounded away from zero", 300, 200, 512, {512, 341}},
        {"empty source", 0, 0, 512, {1, 1}},
        {"thin source keeps one pixel", 1, 5000, 512, {1, 512}},
        {"negative maximum", 100, 50, -512, {1, 1}},
        {"largest maximum", 1, 2, largest, {1073741824, largest}},
        {"largest everything", largest, largest, largest, {largest, largest}},
        {"side far below zero", smallest, 5, largest, {1, largest}},
        {"negative scale of a negative side", smallest, smallest, smallest, {largest, largest}},
    };
    for (const Row& row : rows) EXPECT_EQ(GIFExporter::dimensions(row.width, row.height, row.maxDimension), row.expected) << row.name;
}

TEST_F(GIFExporterTest, WritesALoopingGIFBesideTheTargetHoldingOneFrameAtATimeThenReplacesIt)
{
    const std::vector<Pixel> colours{{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    std::vector<int> requested;
    std::vector<std::string> entriesDuringExport;
    std::weak_ptr<const Image> previous;
    GIFExporter::write(destination, 3, 0.126, [&](int index) {
        requested.push_back(index);
        entriesDuringExport = folder.entryNames();
        EXPECT_EQ(readBytes(destination), previousBytes);
        EXPECT_TRUE(previous.expired()) << "the previous frame is still held";
        ImagePointer frame = solidImage(8, 4, colours[static_cast<std::size_t>(index)]);
        previous = frame;
        return frame;
    });
    EXPECT_EQ(requested, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(previous.expired());

    ASSERT_EQ(entriesDuringExport.size(), 2u);
    const std::string& temporary = entriesDuringExport.front();  // '.' sorts before 'o'
    ASSERT_EQ(temporary.size(), 9u + 36 + 4);
    EXPECT_EQ(temporary.substr(0, 9) + temporary.substr(45), ".tilvane-.gif");
    EXPECT_EQ(Uuid::parse(temporary.substr(9, 36)).value_or(Uuid::random()).string(), temporary.substr(9, 36));
    EXPECT_EQ(folder.entryNames(), std::vector<std::string>{"out.gif"});

    const DecodedGIF gif = readGIF(destination);
    EXPECT_EQ(std::pair(gif.width, gif.height), std::pair(8, 4));
    ASSERT_EQ(gif.frameCount, 3);
    EXPECT_EQ(gif.loop, 0);
    EXPECT_EQ(gif.delaysInMilliseconds, (std::vector<int>{130, 130, 130})) << "hundredths, rounded";
    for (int frame = 0; frame < 3; ++frame) EXPECT_EQ(gif.pixel(frame, 7, 3), colours[std::size_t(frame)]) << frame;
}

TEST_F(GIFExporterTest, KeepsTheExactColoursOfAFrameWithUpTo256)
{
    // Frame 0: 255 opaque colours, transparent pixels taking the last entry; frame 1: 256 opaque colours.
    const auto colourOf = [](int x, int y, int frame) -> Pixel {
        const auto i = static_cast<std::uint8_t>(y * 16 + x);
        return frame == 0 && x == 15 && y < 15 ? Pixel{0, 0, 0, 0} : Pixel{i, std::uint8_t(i * 7), std::uint8_t(255 - i), 255};
    };
    GIFExporter::write(destination, 2, 655.35, [&](int frame) {
        return generatedImage(16, 16, [&](int x, int y) { return colourOf(x, y, frame); });
    });
    const DecodedGIF gif = readGIF(destination);
    ASSERT_EQ(gif.frameCount, 2);
    EXPECT_EQ(gif.delaysInMilliseconds, (std::vector<int>{655350, 655350})) << "the longest delay";
    for (int i = 0; i < 2 * 256; ++i) {
        const Pixel expected = colourOf(i % 16, i / 16 % 16, i / 256), written = gif.pixel(i / 256, i % 16, i / 16 % 16);
        ASSERT_EQ((expected[3] == 0 ? Pixel{0, 0, 0, written[3]} : written), expected) << "frame " << i / 256 << ", pixel " << i % 256;
    }
}

TEST_F(GIFExporterTest, ReducesAFrameWithMoreColoursTo256)
{
    // 4096 colours, and a transparent corner that must stay transparent after the reduction.
    const auto gradient = [](int x, int y) -> Pixel {
        return x < 8 && y < 8 ? Pixel{0, 0, 0, 0} : Pixel{std::uint8_t(x * 4), std::uint8_t(y * 4), 128, 255};
    };
    GIFExporter::write(destination, 1, 0.1, [&](int) { return generatedImage(64, 64, gradient); });
    const DecodedGIF gif = readGIF(destination);
    std::set<Pixel> distinct;
    double totalError = 0;
    for (int i = 0; i < 64 * 64; ++i) {
        const Pixel written = gif.pixel(0, i % 64, i / 64), expected = gradient(i % 64, i / 64);
        ASSERT_EQ(written[3], expected[3]) << i;
        distinct.insert(written);
        for (std::size_t c = 0; c < 3 && expected[3] == 255; ++c) totalError += std::abs(written[c] - expected[c]);
    }
    EXPECT_LE(distinct.size(), 256u);
    EXPECT_GT(distinct.size(), 64u);
    EXPECT_LT(totalError / (64 * 64 * 3), 4.0);
}

TEST_F(GIFExporterTest, WritesTransparencyOfEitherAlphaModeWithoutShowingThePreviousFrame)
{
    // Invisible, nearly invisible, and half-opaque orange (premultiplied).
    const std::vector<Pixel> translucent{{0, 0, 0, 0}, {60, 60, 60, 127}, {100, 50, 0, 128}};
    GIFExporter::write(destination, 2, 0.1, [&](int index) {
        return index == 0 ? solidImage(3, 1, {255, 0, 0, 255}) : imageOf(3, 1, translucent);
    });
    const DecodedGIF gif = readGIF(destination);
    ASSERT_EQ(gif.frameCount, 2);
    EXPECT_EQ(gif.pixel(1, 0, 0)[3] + gif.pixel(1, 1, 0)[3], 0) << "the red of frame 0 shows through";
    EXPECT_EQ(gif.pixel(1, 2, 0), (Pixel{199, 100, 0, 255}));
    GIFExporter::write(destination, 1, 0.1, [](int) { return imageOf(1, 1, {{200, 100, 0, 128}}, AlphaMode::straight); });
    EXPECT_EQ(readGIF(destination).pixel(0, 0, 0), (Pixel{200, 100, 0, 255})) << "straight alpha";
}

TEST_F(GIFExporterTest, RefusesBadOptionsAndFramesInPortugueseRequestingNothingAfterTheFault)
{
    using enum GIFExportErrorCase;
    constexpr double infinity = std::numeric_limits<double>::infinity();
    const FrameProvider secondWider = [](int index) { return solidImage(index == 0 ? 4 : 5, 4, grey(0)); };
    const FrameProvider secondShorter = [](int index) { return solidImage(4, index == 0 ? 4 : 3, grey(0)); };
    const FrameProvider secondMissing = [](int index) { return index == 0 ? solidImage(4, 4, grey(0)) : nullptr; };
    const FrameProvider tooWide = [](int) { return solidImage(65536, 1, grey(0)); };
    struct Row { const char* name; const char* target; int frameCount; double delay; FrameProvider frame; GIFExportErrorCase expected; int mostRequests; };
    const Row rows[] = {
        {"no frames", "out.gif", 0, 0.1, blackFrame, invalidOptions, 0},
        {"negative frame count", "out.gif", -1, 0.1, blackFrame, invalidOptions, 0},
        {"delay below a tenth", "out.gif", 1, 0.0999, blackFrame, invalidOptions, 0},
        {"NaN delay", "out.gif", 1, std::nan(""), blackFrame, invalidOptions, 0},
        {"infinite delay", "out.gif", 1, infinity, blackFrame, invalidOptions, 0},
        {"negative infinite delay", "out.gif", 1, -infinity, blackFrame, invalidOptions, 0},
        {"delay too long for GIF", "out.gif", 1, 655.36, blackFrame, invalidOptions, 0},
        {"missing folder", "missing/out.gif", 1, 0.1, blackFrame, cannotCreateDestination, 0},
        {"second frame wider", "out.gif", 4, 0.1, secondWider, invalidOptions, 2},
        {"second frame shorter", "out.gif", 4, 0.1, secondShorter, invalidOptions, 2},
        {"missing frame", "out.gif", 4, 0.1, secondMissing, invalidOptions, 2},
        {"wider than GIF allows", "out.gif", 4, 0.1, tooWide, invalidOptions, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        int requests = 0;
        const auto counted = [&](int index) { return ++requests, row.frame(index); };
        EXPECT_THAT([&] { GIFExporter::write(folder / row.target, row.frameCount, row.delay, counted); },
                    testing::Throws<GIFExportError>(testing::Eq(GIFExportError(row.expected))));
        EXPECT_LE(requests, row.mostRequests);
        expectPreviousFileKept();
    }
    EXPECT_STREQ(GIFExportError(invalidOptions).what(), "As opções do GIF são inválidas.");
    EXPECT_STREQ(GIFExportError(cannotCreateDestination).what(), "Não foi possível criar o arquivo GIF.");
    EXPECT_STREQ(GIFExportError(cannotFinalize).what(), "Não foi possível concluir o arquivo GIF.");
}

struct RenderFailure : std::runtime_error {
    RenderFailure() : std::runtime_error("render failed") {}
};

TEST_F(GIFExporterTest, CancellationOrAFailingFrameKeepsThePreviousFile)
{
    // cancelAt −1: cancelled before the call. The last row cancels during the last frame, before finishing.
    struct Row { const char* name; int frameCount, cancelAt, throwAt, requestCount; };
    const Row rows[] = {{"cancelled during frame 5 of 20", 20, 5, -2, 6},
                        {"frame 3 of 20 throws", 20, -2, 3, 4},
                        {"cancelled before the first frame", 3, -1, -2, 0},
                        {"cancelled during the last frame", 2, 1, -2, 2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::stop_source stopSource;
        if (row.cancelAt == -1) stopSource.request_stop();
        std::vector<int> requested;
        const auto frame = [&](int index) {
            requested.push_back(index);
            if (index == row.cancelAt) stopSource.request_stop();
            if (index == row.throwAt) throw RenderFailure();
            return solidImage(4, 4, grey(9));
        };
        const auto write = [&] { GIFExporter::write(destination, row.frameCount, 0.1, frame, stopSource.get_token()); };
        if (row.throwAt >= 0) EXPECT_THROW(write(), RenderFailure);
        else EXPECT_THROW(write(), CancellationError);
        EXPECT_EQ(requested.size(), std::size_t(row.requestCount)) << "no frame after the fault is requested";
        expectPreviousFileKept();
    }
}

}  // namespace
