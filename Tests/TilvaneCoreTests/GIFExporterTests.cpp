#include "ImageFileFixtures.hpp"
#include "TestImages.hpp"

#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneCore/GIFExporter.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <limits>
#include <random>
#include <set>
#include <thread>

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
        {"negative maximum", 100, 50, -512, {1, 1}},
        {"largest maximum", 1, 2, largest, {1073741824, largest}},
        {"largest everything", largest, largest, largest, {largest, largest}},
        {"side far below zero", smallest, 5, largest, {1, largest}},
        {"negative scale of a negative side", smallest, smallest, smallest, {largest, largest}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(GIFExporter::dimensions(row.width, row.height, row.maxDimension), row.expected) << row.name;
}

// The number of threads of this process.
int threadCount()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("Threads:")) return std::stoi(line.substr(8));
    }
    return -1;
}

// The thread count once it has come down to `expected`, or after five seconds. A joined thread
// may still be counted for a moment while the kernel finishes its exit.
int threadCountSettlingAt(int expected)
{
    for (int attempt = 0; attempt < 5000 && threadCount() != expected; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return threadCount();
}

TEST_F(GIFExporterTest, WritesALoopingGIFBesideTheTargetHoldingOneFrameAtATimeThenReplacesIt)
{
    const std::vector<Pixel> colours{{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    std::vector<int> requested;
    std::vector<std::string> entriesDuringExport;
    std::weak_ptr<const Image> previous;
    GIFExporter::write(
        destination, 3, 0.126,
        [&](int index) {
            requested.push_back(index);
            entriesDuringExport = folder.entryNames();
            EXPECT_EQ(readBytes(destination), previousBytes);
            EXPECT_TRUE(previous.expired()) << "the previous frame is still held";
            ImagePointer frame = solidImage(8, 4, colours[static_cast<std::size_t>(index)]);
            previous = frame;
            return frame;
        },
        {}, 1);
    EXPECT_EQ(requested, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(previous.expired());

    EXPECT_EQ(entriesDuringExport, std::vector<std::string>{"out.gif"}) << "the new GIF has no name until complete";
    EXPECT_EQ(folder.entryNames(), std::vector<std::string>{"out.gif"});

    const DecodedGIF gif = readGIF(destination);
    EXPECT_EQ(std::pair(gif.width, gif.height), std::pair(8, 4));
    ASSERT_EQ(gif.frameCount, 3);
    EXPECT_EQ(gif.loop, 0);
    EXPECT_EQ(gif.delaysInMilliseconds, (std::vector<int>{130, 130, 130})) << "hundredths, rounded";
    for (int frame = 0; frame < 3; ++frame) EXPECT_EQ(gif.pixel(frame, 7, 3), colours[std::size_t(frame)]) << frame;
}

// 80 × 60 frames cycling through what the writer treats differently: noise that libimagequant reduces,
// 256 opaque colours filling the palette, and the same with a transparent column, before which the
// full frame must give up an entry for transparency.
ImagePointer mixedFrame(int index)
{
    std::mt19937 noise(static_cast<std::uint32_t>(index));
    return generatedImage(80, 60, [&](int x, int y) -> Pixel {
        if (index % 3 == 0) {
            const std::uint32_t value = noise();
            return {std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16), 255};
        }
        if (index % 3 == 2 && x == 79) return {0, 0, 0, 0};
        const auto i = static_cast<std::uint8_t>(y * 80 + x);
        return {i, std::uint8_t(i * 7), std::uint8_t(255 - i), 255};
    });
}

std::uint64_t fnv1a(const std::vector<std::uint8_t>& bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const std::uint8_t byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}

TEST_F(GIFExporterTest, WritesTheSameBytesWhateverTheNumberOfReducingThreads)
{
    // The file that the writer made when it still reduced every frame on the caller's thread.
    constexpr std::size_t sequentialSize = 50622;
    constexpr std::uint64_t sequentialHash = 0x96e12848689b1417;
    // Without a number the pool is sized by this machine's CPUs and memory.
    for (const std::optional<int> reductionThreads :
         {std::optional(1), std::optional(3), std::optional(8), std::optional<int>()}) {
        SCOPED_TRACE(reductionThreads ? std::to_string(*reductionThreads) : "sized by the machine");
        std::vector<int> requested;
        GIFExporter::write(
            destination, 12, 0.1,
            [&](int index) {
                requested.push_back(index);
                return mixedFrame(index);
            },
            {}, reductionThreads);
        EXPECT_EQ(requested, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
        const std::vector<std::uint8_t> bytes = readBytes(destination);
        EXPECT_EQ(bytes.size(), sequentialSize);
        EXPECT_EQ(fnv1a(bytes), sequentialHash);
    }
}

TEST_F(GIFExporterTest, KeepsAtMostItsReducingThreadsFramesBesidesTheOneRequested)
{
    constexpr int reductionThreads = 4;
    std::vector<std::weak_ptr<const Image>> frames;
    std::vector<int> mostHeld;
    GIFExporter::write(
        destination, 16, 0.1,
        [&](int index) {
            mostHeld.push_back(
                static_cast<int>(std::ranges::count_if(frames, [](const auto& frame) { return !frame.expired(); })));
            ImagePointer frame = mixedFrame(index);
            frames.push_back(frame);
            return frame;
        },
        {}, reductionThreads);
    EXPECT_LE(std::ranges::max(mostHeld), reductionThreads);
    for (const auto& frame : frames) EXPECT_TRUE(frame.expired());
    EXPECT_EQ(readGIF(destination).frameCount, 16);
}

TEST_F(GIFExporterTest, ReplacingAFileKeepsItsModeAndANewFileGetsTheUsualOne)
{
    for (const mode_t mode : {0600, 0640, 0604, 0755}) {
        ASSERT_EQ(::chmod(destination.c_str(), mode), 0);
        GIFExporter::write(destination, 1, 0.1, blackFrame);
        EXPECT_EQ(modeOf(destination), mode) << std::oct << mode;
        EXPECT_EQ(readGIF(destination).frameCount, 1);
    }
    const mode_t mask = ::umask(027);
    GIFExporter::write(folder / "new.gif", 1, 0.1, blackFrame);
    ::umask(mask);
    EXPECT_EQ(modeOf(folder / "new.gif"), 0640u) << "the usual mode under the process's mask";
}

TEST_F(GIFExporterTest, KeepsTheExactColoursOfAFrameWithUpTo256)
{
    // Frame 0: 255 opaque colours, transparent pixels taking the last entry; frame 1: 256 opaque colours.
    const auto colourOf = [](int x, int y, int frame) -> Pixel {
        const auto i = static_cast<std::uint8_t>(y * 16 + x);
        return frame == 0 && x == 15 && y < 15 ? Pixel{0, 0, 0, 0}
                                               : Pixel{i, std::uint8_t(i * 7), std::uint8_t(255 - i), 255};
    };
    GIFExporter::write(destination, 2, 655.35, [&](int frame) {
        return generatedImage(16, 16, [&](int x, int y) { return colourOf(x, y, frame); });
    });
    const DecodedGIF gif = readGIF(destination);
    ASSERT_EQ(gif.frameCount, 2);
    EXPECT_EQ(gif.delaysInMilliseconds, (std::vector<int>{655350, 655350})) << "the longest delay";
    for (int i = 0; i < 2 * 256; ++i) {
        const Pixel expected = colourOf(i % 16, i / 16 % 16, i / 256),
                    written = gif.pixel(i / 256, i % 16, i / 16 % 16);
        ASSERT_EQ((expected[3] == 0 ? Pixel{0, 0, 0, written[3]} : written), expected)
            << "frame " << i / 256 << ", pixel " << i % 256;
    }
}

TEST_F(GIFExporterTest, AFrameFilledWith256ColoursIsClearedToTransparencyForTheNextFrame)
{
    // Frame 0: 256 opaque colours; frame 1: the same with a transparent column. Frame 0 is cleared
    // before frame 1, which shows it to libnsgif as transparent only when frame 0 declares a
    // transparent entry; so its two closest colours share one entry.
    const auto colourOf = [](int x, int y, int frame) -> Pixel {
        const auto i = static_cast<std::uint8_t>(y * 16 + x);
        return frame == 1 && x == 15 ? Pixel{0, 0, 0, 0} : Pixel{i, std::uint8_t(i * 7), std::uint8_t(255 - i), 255};
    };
    GIFExporter::write(destination, 2, 0.1, [&](int frame) {
        return generatedImage(16, 16, [&](int x, int y) { return colourOf(x, y, frame); });
    });
    const std::vector<std::uint8_t> bytes = readBytes(destination);
    std::vector<int> transparencyFlags;  // of each Graphic Control Extension
    for (std::size_t i = 0; i + 3 < bytes.size(); ++i) {
        if (bytes[i] == 0x21 && bytes[i + 1] == 0xF9 && bytes[i + 2] == 4)
            transparencyFlags.push_back(bytes[i + 3] & 1);
    }
    EXPECT_EQ(transparencyFlags, (std::vector<int>{1, 1}));
    const DecodedGIF gif = readGIF(destination);
    ASSERT_EQ(gif.frameCount, 2);
    int changed = 0;
    for (int i = 0; i < 2 * 256; ++i) {
        const Pixel expected = colourOf(i % 16, i / 16 % 16, i / 256),
                    written = gif.pixel(i / 256, i % 16, i / 16 % 16);
        if (written == expected) continue;
        EXPECT_EQ(i / 256, 0) << "frame 1, pixel " << i % 256;
        EXPECT_EQ(written[3], 255);
        ++changed;
    }
    EXPECT_EQ(changed, 1) << "only one colour of frame 0 moves to its nearest";
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
    GIFExporter::write(destination, 1, 0.1, [](int) {
        return imageOf(1, 1, {{200, 100, 0, 128}}, AlphaMode::straight);
    });
    EXPECT_EQ(readGIF(destination).pixel(0, 0, 0), (Pixel{200, 100, 0, 255})) << "straight alpha";
}

// What the action threw: the exception's message, "cancelled" or "nothing".
std::string thrownBy(const std::function<void()>& action)
{
    try {
        action();
    } catch (const CancellationError&) {
        return "cancelled";
    } catch (const std::exception& error) {
        return error.what();
    }
    return "nothing";
}

TEST_F(GIFExporterTest, FailuresRequestNoFrameAfterTheFaultAndKeepThePreviousFile)
{
    constexpr double infinity = std::numeric_limits<double>::infinity();
    const FrameProvider secondWider = [](int index) { return solidImage(index == 0 ? 4 : 5, 4, grey(0)); };
    const FrameProvider secondShorter = [](int index) { return solidImage(4, index == 0 ? 4 : 3, grey(0)); };
    const FrameProvider secondMissing = [](int index) { return index == 0 ? solidImage(4, 4, grey(0)) : nullptr; };
    const FrameProvider tooWide = [](int) { return solidImage(65536, 1, grey(0)); };
    const std::string invalid = "As opções do GIF são inválidas.";
    // cancelAt −1: cancelled before the call; −2: never. throwAt −2: never.
    struct Row {
        const char* name;
        const char* target;
        int frameCount;
        double delay;
        FrameProvider frame;
        int cancelAt, throwAt;
        std::string thrown;
        int requests;
    };
    const Row rows[] = {
        {"no frames", "out.gif", 0, 0.1, blackFrame, -2, -2, invalid, 0},
        {"negative frame count", "out.gif", -1, 0.1, blackFrame, -2, -2, invalid, 0},
        {"delay below a tenth", "out.gif", 1, 0.0999, blackFrame, -2, -2, invalid, 0},
        {"NaN delay", "out.gif", 1, std::nan(""), blackFrame, -2, -2, invalid, 0},
        {"infinite delay", "out.gif", 1, infinity, blackFrame, -2, -2, invalid, 0},
        {"negative infinite delay", "out.gif", 1, -infinity, blackFrame, -2, -2, invalid, 0},
        {"delay too long for GIF", "out.gif", 1, 655.36, blackFrame, -2, -2, invalid, 0},
        {"missing folder", "missing/out.gif", 1, 0.1, blackFrame, -2, -2, "Não foi possível criar o arquivo GIF.", 0},
        {"second frame wider", "out.gif", 4, 0.1, secondWider, -2, -2, invalid, 2},
        {"second frame shorter", "out.gif", 4, 0.1, secondShorter, -2, -2, invalid, 2},
        {"missing frame", "out.gif", 4, 0.1, secondMissing, -2, -2, invalid, 2},
        {"wider than GIF allows", "out.gif", 4, 0.1, tooWide, -2, -2, invalid, 1},
        {"cancelled during frame 5 of 20", "out.gif", 20, 0.1, blackFrame, 5, -2, "cancelled", 6},
        {"frame 3 of 20 throws", "out.gif", 20, 0.1, blackFrame, -2, 3, "render failed", 4},
        {"cancelled before the first frame", "out.gif", 3, 0.1, blackFrame, -1, -2, "cancelled", 0},
        {"cancelled during the last frame", "out.gif", 2, 0.1, blackFrame, 1, -2, "cancelled", 2},
    };
    const int threadsBefore = threadCount();
    for (const int reductionThreads : {1, 4}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.name) + ", reduced on " + std::to_string(reductionThreads));
            std::stop_source stopSource;
            if (row.cancelAt == -1) stopSource.request_stop();
            int requests = 0;
            const auto frame = [&](int index) {
                ++requests;
                if (index == row.cancelAt) stopSource.request_stop();
                if (index == row.throwAt) throw std::runtime_error("render failed");
                return row.frame(index);
            };
            EXPECT_EQ(thrownBy([&] {
                          GIFExporter::write(folder / row.target, row.frameCount, row.delay, frame,
                                             stopSource.get_token(), reductionThreads);
                      }),
                      row.thrown);
            EXPECT_EQ(requests, row.requests);
            expectPreviousFileKept();
            EXPECT_EQ(threadCountSettlingAt(threadsBefore), threadsBefore) << "a reducing thread outlives the export";
        }
    }
    EXPECT_STREQ(GIFExportError(GIFExportErrorCase::cannotFinalize).what(), "Não foi possível concluir o arquivo GIF.");
}

}  // namespace
