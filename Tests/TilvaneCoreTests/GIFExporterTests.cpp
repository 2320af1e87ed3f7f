#include "ImageFileFixtures.hpp"

#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneCore/GIFExporter.hpp"
#include "TilvaneCore/Uuid.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

using namespace tilvane;
using namespace tilvane::imagefiles;

namespace {

using Pixel = std::array<std::uint8_t, 4>;

ImagePointer frameOf(int width, int height, const std::function<Pixel(int x, int y)>& pixelAt,
                     AlphaMode alphaMode = AlphaMode::premultiplied)
{
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Pixel pixel = pixelAt(x, y);
            bytes.insert(bytes.end(), pixel.begin(), pixel.end());
        }
    }
    return Image::make(width, height, std::move(bytes), alphaMode);
}

ImagePointer solidFrame(int width, int height, Pixel pixel)
{
    return frameOf(width, height, [pixel](int, int) { return pixel; });
}

Pixel pixelAt(const DecodedGIF& gif, int frame, int x, int y)
{
    const std::uint8_t* pixel = gif.pixel(frame, x, y);
    return {pixel[0], pixel[1], pixel[2], pixel[3]};
}

GIFExportErrorCase exportErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const GIFExportError& error) {
        return error.errorCase();
    }
    ADD_FAILURE() << "no GIFExportError was thrown";
    return GIFExportErrorCase::cannotFinalize;
}

struct FrameRequestLog {
    std::vector<int> indices;
};

class GIFExporterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        destination = folder / "out.gif";
        writeText(destination, "the previous export");
        previousBytes = readBytes(destination);
    }

    // The export failed: the destination is untouched and no temporary file is left.
    void expectPreviousFileKept()
    {
        EXPECT_EQ(readBytes(destination), previousBytes);
        EXPECT_EQ(folder.entryNames(), std::vector<std::string>{"out.gif"});
    }

    TemporaryFolder folder;
    std::filesystem::path destination;
    std::vector<std::uint8_t> previousBytes;
};

TEST(GIFExportError, CarriesThePortugueseDescriptions)
{
    EXPECT_STREQ(GIFExportError(GIFExportErrorCase::invalidOptions).what(), "As opções do GIF são inválidas.");
    EXPECT_STREQ(GIFExportError(GIFExportErrorCase::cannotCreateDestination).what(),
                 "Não foi possível criar o arquivo GIF.");
    EXPECT_STREQ(GIFExportError(GIFExportErrorCase::cannotFinalize).what(), "Não foi possível concluir o arquivo GIF.");
}

TEST(GIFExporterDimensions, ScalesTheLongerSideToTheMaximum)
{
    constexpr int largest = std::numeric_limits<int>::max();
    constexpr int smallest = std::numeric_limits<int>::min();
    struct Row {
        const char* name;
        int width, height, maxDimension;
        GIFDimensions expected;
    };
    const Row rows[] = {
        {"reduced", 1600, 900, 1024, {1024, 576}},
        {"enlarged, halves rounded away from zero", 300, 200, 512, {512, 341}},
        {"empty source", 0, 0, 512, {1, 1}},
        {"thin source keeps one pixel", 1, 5000, 512, {1, 512}},
        {"square", 700, 700, 2048, {2048, 2048}},
        {"half rounds up", 3, 1, 3, {3, 1}},
        {"negative sides", -30, -20, 512, {1, 1}},
        {"zero maximum", 100, 50, 0, {1, 1}},
        {"negative maximum", 100, 50, -512, {1, 1}},
        {"largest maximum", 1, 2, largest, {1073741824, largest}},
        {"largest everything", largest, largest, largest, {largest, largest}},
        {"side far below zero", smallest, 5, largest, {1, largest}},
        {"negative scale of a negative side", smallest, smallest, smallest, {largest, largest}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(GIFExporter::dimensions(row.width, row.height, row.maxDimension), row.expected);
    }
}

TEST_F(GIFExporterTest, RefusesInvalidOptionsBeforeCreatingAnything)
{
    struct Row {
        const char* name;
        int frameCount;
        double frameDelay;
    };
    const Row rows[] = {
        {"no frames", 0, 0.1},
        {"negative frame count", -1, 0.1},
        {"delay below a tenth", 1, 0.05},
        {"delay just below a tenth", 1, 0.0999},
        {"negative delay", 1, -1},
        {"NaN delay", 1, std::nan("")},
        {"infinite delay", 1, std::numeric_limits<double>::infinity()},
        {"negative infinite delay", 1, -std::numeric_limits<double>::infinity()},
        {"delay too long for GIF", 1, 655.36},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        bool frameRequested = false;
        const auto frame = [&](int) {
            frameRequested = true;
            return solidFrame(1, 1, {0, 0, 0, 255});
        };
        EXPECT_EQ(exportErrorOf([&] { GIFExporter::write(destination, row.frameCount, row.frameDelay, frame); }),
                  GIFExportErrorCase::invalidOptions);
        EXPECT_FALSE(frameRequested);
        expectPreviousFileKept();
    }
}

TEST_F(GIFExporterTest, WritesALoopingGIFWithTheDelayOnEveryFrame)
{
    const std::vector<Pixel> colours{{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    std::vector<int> requested;
    GIFExporter::write(destination, 3, 0.1, [&](int index) {
        requested.push_back(index);
        return solidFrame(8, 4, colours[static_cast<std::size_t>(index)]);
    });

    EXPECT_EQ(requested, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(folder.entryNames(), std::vector<std::string>{"out.gif"});
    const DecodedGIF gif = readGIF(destination);
    EXPECT_EQ(gif.width, 8);
    EXPECT_EQ(gif.height, 4);
    ASSERT_EQ(gif.frameCount, 3);
    EXPECT_EQ(gif.loop, 0);
    EXPECT_EQ(gif.delaysInMilliseconds, (std::vector<int>{100, 100, 100}));
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_EQ(pixelAt(gif, frame, 7, 3), colours[static_cast<std::size_t>(frame)]) << "frame " << frame;
    }
}

TEST_F(GIFExporterTest, ASingleFrameKeepsItsDelayAndTheLoopCount)
{
    GIFExporter::write(folder / "new.gif", 1, 2, [](int) { return solidFrame(3, 3, {10, 20, 30, 255}); });
    std::filesystem::remove(destination);

    EXPECT_EQ(folder.entryNames(), std::vector<std::string>{"new.gif"});
    const DecodedGIF gif = readGIF(folder / "new.gif");
    EXPECT_EQ(gif.frameCount, 1);
    EXPECT_EQ(gif.loop, 0);
    EXPECT_EQ(gif.delaysInMilliseconds, std::vector<int>{2000});
    EXPECT_EQ(pixelAt(gif, 0, 1, 1), (Pixel{10, 20, 30, 255}));
}

TEST_F(GIFExporterTest, RoundsTheDelayToHundredthsOfASecond)
{
    GIFExporter::write(destination, 1, 0.126, [](int) { return solidFrame(1, 1, {0, 0, 0, 255}); });
    EXPECT_EQ(readGIF(destination).delaysInMilliseconds, std::vector<int>{130});
    GIFExporter::write(destination, 1, 655.35, [](int) { return solidFrame(1, 1, {0, 0, 0, 255}); });
    EXPECT_EQ(readGIF(destination).delaysInMilliseconds, std::vector<int>{655350});
}

TEST_F(GIFExporterTest, KeepsTheExactColoursOfAFrameWithUpTo256)
{
    // 255 distinct opaque colours with transparent pixels taking the last entry, then 256 opaque colours.
    const auto colourOf = [](int x, int y) -> Pixel {
        const int i = y * 16 + x;
        return {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 7), static_cast<std::uint8_t>(255 - i), 255};
    };
    const auto withHoles = [&](int x, int y) -> Pixel {
        return (y * 16 + x) % 16 == 15 && y < 15 ? Pixel{0, 0, 0, 0} : colourOf(x, y);
    };
    GIFExporter::write(destination, 2, 0.1, [&](int index) {
        return index == 0 ? frameOf(16, 16, withHoles) : frameOf(16, 16, colourOf);
    });

    const DecodedGIF gif = readGIF(destination);
    ASSERT_EQ(gif.frameCount, 2);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(pixelAt(gif, 0, x, y)[3], withHoles(x, y)[3]) << x << "," << y;
            if (withHoles(x, y)[3] == 255) {
                ASSERT_EQ(pixelAt(gif, 0, x, y), colourOf(x, y)) << x << "," << y;
            }
            ASSERT_EQ(pixelAt(gif, 1, x, y), colourOf(x, y)) << x << "," << y;
        }
    }
}

TEST_F(GIFExporterTest, ReducesAFrameWithMoreColoursTo256)
{
    // 4096 colours, and a transparent corner that must stay transparent after the reduction.
    const auto gradient = [](int x, int y) -> Pixel {
        if (x < 8 && y < 8) return {0, 0, 0, 0};
        return {static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 4), 128, 255};
    };
    GIFExporter::write(destination, 1, 0.1, [&](int) { return frameOf(64, 64, gradient); });

    const DecodedGIF gif = readGIF(destination);
    std::set<std::uint32_t> distinct;
    double totalError = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const Pixel written = pixelAt(gif, 0, x, y);
            const Pixel expected = gradient(x, y);
            ASSERT_EQ(written[3], expected[3]) << x << "," << y;
            distinct.insert(written[0] << 16 | written[1] << 8 | written[2]);
            for (std::size_t channel = 0; channel < 3 && expected[3] == 255; ++channel) {
                totalError += std::abs(written[channel] - expected[channel]);
            }
        }
    }
    EXPECT_LE(distinct.size(), 256u);
    EXPECT_GT(distinct.size(), 64u);
    EXPECT_LT(totalError / (64 * 64 * 3), 4.0);
}

struct AlphaCase {
    const char* name;
    AlphaMode alphaMode;
    Pixel halfOpaque;  // as the frame stores it
    Pixel invisible;
    Pixel mostlyClear;
    Pixel halfOpaqueWritten;
};

class GIFExporterAlphaTest : public GIFExporterTest, public ::testing::WithParamInterface<AlphaCase> {};

TEST_P(GIFExporterAlphaTest, WritesTransparencyWithoutShowingThePreviousFrame)
{
    const AlphaCase& row = GetParam();
    const auto translucent = [&](int x, int) {
        return x == 0 ? row.invisible : x == 1 ? row.mostlyClear : row.halfOpaque;
    };
    GIFExporter::write(destination, 2, 0.1, [&](int index) {
        return index == 0 ? solidFrame(3, 1, {255, 0, 0, 255}) : frameOf(3, 1, translucent, row.alphaMode);
    });

    const DecodedGIF gif = readGIF(destination);
    ASSERT_EQ(gif.frameCount, 2);
    EXPECT_EQ(pixelAt(gif, 1, 0, 0)[3], 0) << "the red of frame 0 shows through";
    EXPECT_EQ(pixelAt(gif, 1, 1, 0)[3], 0);
    EXPECT_EQ(pixelAt(gif, 1, 2, 0), row.halfOpaqueWritten);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, GIFExporterAlphaTest,
    ::testing::Values(AlphaCase{"Premultiplied", AlphaMode::premultiplied, {100, 50, 0, 128}, {0, 0, 0, 0}, {60, 60, 60, 127},
                                {199, 100, 0, 255}},
                      AlphaCase{"Straight", AlphaMode::straight, {200, 100, 0, 128}, {50, 60, 70, 0}, {90, 90, 90, 127},
                                {200, 100, 0, 255}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GIFExporterTest, ReplacesAnExistingFileOnlyWhenComplete)
{
    std::vector<std::string> entriesDuringExport;
    GIFExporter::write(destination, 2, 0.5, [&](int) {
        entriesDuringExport = folder.entryNames();
        EXPECT_EQ(readBytes(destination), previousBytes);
        return solidFrame(2, 2, {1, 2, 3, 255});
    });

    ASSERT_EQ(entriesDuringExport.size(), 2u);
    const std::string& temporary = entriesDuringExport.front();  // '.' sorts before 'o'
    EXPECT_EQ(temporary.substr(0, 9), ".tilvane-");
    EXPECT_EQ(temporary.substr(temporary.size() - 4), ".gif");
    const std::string uuidText = temporary.substr(9, temporary.size() - 13);
    ASSERT_TRUE(Uuid::parse(uuidText).has_value()) << temporary;
    EXPECT_EQ(Uuid::parse(uuidText)->string(), uuidText) << "upper-case form";

    EXPECT_EQ(folder.entryNames(), std::vector<std::string>{"out.gif"});
    EXPECT_EQ(readGIF(destination).frameCount, 2);
}

TEST_F(GIFExporterTest, CancellingDuringFrameFiveOfTwentyKeepsThePreviousFile)
{
    std::stop_source stopSource;
    std::vector<int> requested;
    EXPECT_THROW(GIFExporter::write(destination, 20, 0.1,
                                    [&](int index) {
                                        requested.push_back(index);
                                        if (index == 5) stopSource.request_stop();
                                        return solidFrame(4, 4, {9, 9, 9, 255});
                                    },
                                    stopSource.get_token()),
                 CancellationError);
    EXPECT_EQ(requested, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    expectPreviousFileKept();
}

TEST_F(GIFExporterTest, CancellationIsCheckedBeforeTheFirstFrameAndBeforeFinishing)
{
    std::stop_source stopSource;
    stopSource.request_stop();
    int requests = 0;
    const auto countingFrame = [&](int) {
        ++requests;
        return solidFrame(1, 1, {0, 0, 0, 255});
    };
    EXPECT_THROW(GIFExporter::write(destination, 3, 0.1, countingFrame, stopSource.get_token()), CancellationError);
    EXPECT_EQ(requests, 0);
    expectPreviousFileKept();

    std::stop_source lateStop;
    EXPECT_THROW(GIFExporter::write(destination, 2, 0.1,
                                    [&](int index) {
                                        if (index == 1) lateStop.request_stop();
                                        return countingFrame(index);
                                    },
                                    lateStop.get_token()),
                 CancellationError);
    EXPECT_EQ(requests, 2);
    expectPreviousFileKept();
}

struct RenderFailure : std::runtime_error {
    RenderFailure() : std::runtime_error("render failed") {}
};

TEST_F(GIFExporterTest, AFrameThatThrowsStopsTheExportWithItsError)
{
    std::vector<int> requested;
    EXPECT_THROW(GIFExporter::write(destination, 20, 0.1,
                                    [&](int index) {
                                        requested.push_back(index);
                                        if (index == 3) throw RenderFailure();
                                        return solidFrame(4, 4, {9, 9, 9, 255});
                                    }),
                 RenderFailure);
    EXPECT_EQ(requested, (std::vector<int>{0, 1, 2, 3}));
    expectPreviousFileKept();
}

TEST_F(GIFExporterTest, RefusesFramesThatCannotBelongToTheGIF)
{
    struct Row {
        const char* name;
        std::function<ImagePointer(int)> frame;
    };
    const Row rows[] = {
        {"second frame wider", [](int index) { return solidFrame(index == 0 ? 4 : 5, 4, {0, 0, 0, 255}); }},
        {"second frame shorter", [](int index) { return solidFrame(4, index == 0 ? 4 : 3, {0, 0, 0, 255}); }},
        {"missing frame", [](int index) { return index == 0 ? solidFrame(4, 4, {0, 0, 0, 255}) : nullptr; }},
        {"wider than GIF allows", [](int) { return solidFrame(65536, 1, {0, 0, 0, 255}); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<int> requested;
        const auto frame = [&](int index) {
            requested.push_back(index);
            return row.frame(index);
        };
        EXPECT_EQ(exportErrorOf([&] { GIFExporter::write(destination, 4, 0.1, frame); }),
                  GIFExportErrorCase::invalidOptions);
        EXPECT_LE(requested.size(), 2u) << "no frame is requested after the faulty one";
        expectPreviousFileKept();
    }
}

TEST_F(GIFExporterTest, ReportsAFolderThatCannotHoldTheFile)
{
    bool frameRequested = false;
    EXPECT_EQ(exportErrorOf([&] {
                  GIFExporter::write(folder / "missing" / "out.gif", 1, 0.1, [&](int) {
                      frameRequested = true;
                      return solidFrame(1, 1, {0, 0, 0, 255});
                  });
              }),
              GIFExportErrorCase::cannotCreateDestination);
    EXPECT_FALSE(frameRequested);
    expectPreviousFileKept();
}

TEST_F(GIFExporterTest, PassesOnTheErrorOfPuttingTheFileInPlace)
{
    std::filesystem::create_directory(folder / "taken.gif");
    std::filesystem::create_directory(folder / "taken.gif" / "inside");
    EXPECT_THROW(GIFExporter::write(folder / "taken.gif", 1, 0.1, [](int) { return solidFrame(1, 1, {0, 0, 0, 255}); }),
                 std::filesystem::filesystem_error);
    EXPECT_EQ(folder.entryNames(), (std::vector<std::string>{"out.gif", "taken.gif"}));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "taken.gif" / "inside"));
}

TEST_F(GIFExporterTest, HoldsNoFrameWhileRequestingTheNext)
{
    std::weak_ptr<const Image> previous;
    GIFExporter::write(destination, 5, 0.1, [&](int) {
        EXPECT_TRUE(previous.expired()) << "the previous frame is still held";
        ImagePointer frame = solidFrame(32, 32, {5, 6, 7, 255});
        previous = frame;
        return frame;
    });
    EXPECT_TRUE(previous.expired());
    EXPECT_EQ(readGIF(destination).frameCount, 5);
}

}  // namespace
