#include "PreviewTestSupport.hpp"

#include "Tilvane/Editor/ExportJobs.hpp"
#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneCore/ImageConverter.hpp"

#include <gtest/gtest.h>

#include <fstream>

namespace tilvane {
namespace {

using testing::TemporaryFolder;

ShaderConfiguration configurationOf(const std::string& effect, bool motion)
{
    return ShaderConfiguration::fromPreset(testing::presetWithEffect(effect), {.motion = motion});
}

TEST(ExportJobs, ProposedNamesReplaceTheExtension)
{
    struct Row {
        const char* name;
        const char* source;
        const char* extension;
        const char* proposed;
    };
    const Row rows[] = {
        {"jpeg", "foto.jpeg", "png", "foto-tilvane.png"},
        {"gif", "foto.jpeg", "gif", "foto-tilvane.gif"},
        {"no extension", "foto", "png", "foto-tilvane.png"},
        {"two dots", "ferias.2024.png", "gif", "ferias.2024-tilvane.gif"},
        {"hidden file", ".retrato", "png", ".retrato-tilvane.png"},
        {"sample", "Exemplo Tilvane", "png", "Exemplo Tilvane-tilvane.png"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(exportFileName(QString::fromUtf8(row.source), QString::fromUtf8(row.extension)),
                  QString::fromUtf8(row.proposed))
            << row.name;
    }
}

TEST(ExportJobs, GIFSizeAndTiming)
{
    struct SizeRow {
        const char* name;
        int width, height, maxDimension, expectedWidth, expectedHeight;
    };
    const SizeRow sizes[] = {
        {"reduced", 800, 600, 512, 512, 384},
        {"enlarged", 300, 200, 2048, 2048, 1365},
        {"portrait", 600, 800, 1024, 768, 1024},
    };
    for (const SizeRow& row : sizes) {
        const GIFExportSnapshot snapshot = makeGIFSnapshot(testing::stripedImage(4, 4), row.width, row.height,
                                                           row.maxDimension, std::nullopt, {}, 2, "x.gif");
        EXPECT_EQ(snapshot.size, (GIFDimensions{row.expectedWidth, row.expectedHeight})) << row.name;
    }

    struct TimingRow {
        const char* name;
        bool shader;
        int duration;
        GIFTiming expected;
    };
    const TimingRow timings[] = {
        {"shader, 1 s", true, 1, {10, 0.1}},
        {"shader, 3 s", true, 3, {30, 0.1}},
        {"still, 2 s", false, 2, {1, 2.0}},
        {"still, 3 s", false, 3, {1, 3.0}},
    };
    for (const TimingRow& row : timings) {
        EXPECT_EQ(gifTiming(row.shader, row.duration), row.expected) << row.name;
    }
    EXPECT_FLOAT_EQ(gifTiming(true, 3).time(29), 0.1f * 29.0f);
}

TEST(ExportJobs, SnapshotsSetMotionAsEachFormatNeeds)
{
    const auto still = configurationOf("realisticPhosphor", false);
    const auto moving = configurationOf("realisticPhosphor", true);
    EXPECT_TRUE(makeGIFSnapshot(nullptr, 8, 8, 512, still, {}, 1, "a.gif").configuration->motion);
    EXPECT_TRUE(makeGIFSnapshot(nullptr, 8, 8, 512, moving, {}, 1, "a.gif").configuration->motion);
    EXPECT_FALSE(makeGIFSnapshot(nullptr, 8, 8, 512, std::nullopt, {}, 1, "a.gif").configuration.has_value());
    EXPECT_FALSE(makePNGSnapshot(nullptr, nullptr, moving, {}, 1.5f, true, "a.png").configuration->motion);
    EXPECT_TRUE(makePNGSnapshot(nullptr, nullptr, moving, {}, 1.5f, false, "a.png").configuration->motion);
}

TEST(ExportJobs, RendersOnlyWithAShaderOrScreenEffects)
{
    EXPECT_FALSE(exportNeedsRender(std::nullopt, ScreenSettings{}));
    EXPECT_TRUE(exportNeedsRender(std::nullopt, ScreenSettings{0.3f, 0.5f, 0}));
    EXPECT_TRUE(exportNeedsRender(std::nullopt, ScreenSettings{0, 0.5f, 0.2f}));
    EXPECT_TRUE(exportNeedsRender(configurationOf("crt", false), ScreenSettings{}));
}

TEST(ExportJobs, ThePNGEqualsADirectRenderAtTheFrameTime)
{
    TemporaryFolder folder;
    const ImagePointer source = testing::stripedImage(120, 90);
    const ImagePointer grid = testing::stripedImage(15, 12);
    const auto configuration = configurationOf("realisticPhosphor", true);
    const ScreenSettings screen{0.4f, 0.5f, 0.1f};
    const PNGExportSnapshot snapshot =
        makePNGSnapshot(source, grid, configuration, screen, 0.75f, false, folder.path() / "foto-tilvane.png");
    ASSERT_TRUE(runPNGExport(snapshot, &testing::testRenderer(), {}));

    const ImagePointer upscaled = ImageConverter().upscale(*grid, 120, 90);
    const ImagePointer direct = testing::testRenderer().render(upscaled, configuration, screen, 0.75f);
    int width = 0;
    int height = 0;
    const auto written = testing::decodePNGPixels(snapshot.destination, width, height);
    ASSERT_TRUE(written.has_value());
    ASSERT_EQ(width, 120);
    ASSERT_EQ(height, 90);
    const auto expected = direct->bytes();
    ASSERT_EQ(written->size(), expected.size());
    std::size_t differing = 0;
    for (std::size_t offset = 0; offset < expected.size(); offset += 4) {
        const std::uint32_t alpha = expected[offset + 3];
        for (int channel = 0; channel < 3; ++channel) {
            const std::uint8_t straight = alpha == 0 ? 0 : unpremultiply(expected[offset + channel], alpha);
            if ((*written)[offset + channel] != straight) ++differing;
        }
        if ((*written)[offset + 3] != alpha) ++differing;
    }
    EXPECT_EQ(differing, 0u);
    EXPECT_NE(*upscaled->pixel(60, 45), *direct->pixel(60, 45)) << "the look must change the picture";
}

TEST(ExportJobs, PNGWithoutTheSharedRenderer)
{
    TemporaryFolder folder;
    const ImagePointer source = testing::stripedImage(40, 30);
    const ImagePointer grid = testing::stripedImage(5, 4);
    const auto target = folder.path() / "foto-tilvane.png";
    std::ofstream(target) << "before";

    const auto shaded = makePNGSnapshot(source, grid, configurationOf("crt", false), {}, 0, false, target);
    EXPECT_FALSE(runPNGExport(shaded, nullptr, {}));
    const auto scanlines = makePNGSnapshot(source, grid, std::nullopt, {0.3f, 0.5f, 0}, 0, false, target);
    EXPECT_FALSE(runPNGExport(scanlines, nullptr, {}));
    EXPECT_EQ(testing::fileBytes(target), "before");
    EXPECT_EQ(folder.entryNames(), std::vector<std::string>{"foto-tilvane.png"});

    const auto plain = makePNGSnapshot(source, grid, std::nullopt, {}, 0, false, target);
    EXPECT_TRUE(runPNGExport(plain, nullptr, {}));
    int width = 0;
    int height = 0;
    EXPECT_TRUE(testing::decodePNGPixels(target, width, height).has_value());
    EXPECT_EQ(width, 40);
    EXPECT_EQ(height, 30);
}

TEST(ExportJobs, GIFFramesDelaysAndLoopReadBack)
{
    struct Row {
        const char* name;
        std::optional<ShaderConfiguration> configuration;
        ScreenSettings screen;
        int duration;
        bool expectsRenderer;
        int frames;
        int delayMilliseconds;
    };
    const Row rows[] = {
        {"shader, motion switched off, 3 s", configurationOf("realisticPhosphor", false), {}, 3, true, 30, 100},
        {"shader, 1 s", configurationOf("crt", true), {}, 1, true, 10, 100},
        {"no shader, no screen effects, 2 s", std::nullopt, {}, 2, false, 1, 2000},
        {"screen effects only, 3 s", std::nullopt, {0.5f, 0.5f, 0}, 3, true, 1, 3000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TemporaryFolder folder;
        const auto snapshot = makeGIFSnapshot(testing::stripedImage(16, 12), 800, 600, 512, row.configuration,
                                              row.screen, row.duration, folder.path() / "foto-tilvane.gif");
        int renderersMade = 0;
        runGIFExport(snapshot,
                     [&] {
                         ++renderersMade;
                         return testing::makeTestRenderer();
                     },
                     {});
        EXPECT_EQ(renderersMade, row.expectsRenderer ? 1 : 0);
        const auto gif = testing::decodeGIF(snapshot.destination);
        ASSERT_TRUE(gif.has_value());
        EXPECT_EQ(gif->width, 512);
        EXPECT_EQ(gif->height, 384);
        EXPECT_EQ(gif->frameCount, row.frames);
        EXPECT_EQ(gif->loop, 0);
        EXPECT_EQ(gif->delaysMilliseconds, std::vector<int>(row.frames, row.delayMilliseconds));
        EXPECT_EQ(folder.entryNames(), std::vector<std::string>{"foto-tilvane.gif"});
    }
}

TEST(ExportJobs, GIFFailuresLeaveTheTargetAndNoTemporaryFile)
{
    TemporaryFolder folder;
    const auto target = folder.path() / "foto-tilvane.gif";
    std::ofstream(target) << "older gif";
    const auto snapshot =
        makeGIFSnapshot(testing::stripedImage(16, 12), 800, 600, 512, configurationOf("crt", true), {}, 1, target);

    // The export's own renderer cannot be made.
    try {
        runGIFExport(snapshot, [] { return std::unique_ptr<ShaderRenderer>(); }, {});
        ADD_FAILURE() << "expected an error";
    } catch (const std::exception&) {
        EXPECT_EQ(gifExportErrorDescription(std::current_exception()),
                  QStringLiteral("Este computador não disponibilizou OpenGL para os shaders."));
    }
    // Stopped: the window closed while the export ran.
    std::stop_source stop;
    stop.request_stop();
    EXPECT_THROW(runGIFExport(snapshot, testing::makeTestRenderer, stop.get_token()), CancellationError);
    EXPECT_EQ(testing::fileBytes(target), "older gif");
    EXPECT_EQ(folder.entryNames(), std::vector<std::string>{"foto-tilvane.gif"});
}

TEST(ExportJobs, GIFErrorsAreDescribedInTheSystemsWords)
{
    const auto describe = [](auto error) { return gifExportErrorDescription(std::make_exception_ptr(error)); };
    EXPECT_EQ(describe(GIFExportError(GIFExportErrorCase::cannotCreateDestination)),
              QStringLiteral("Não foi possível criar o arquivo GIF."));
    EXPECT_EQ(describe(ImageConversionError(ImageConversionErrorCase::bitmapCreationFailed)),
              QStringLiteral("Não foi possível criar o bitmap."));
    EXPECT_EQ(describe(std::filesystem::filesystem_error("rename", std::make_error_code(std::errc::is_a_directory))),
              QStringLiteral("Não foi possível concluir o arquivo GIF."));
}

}  // namespace
}  // namespace tilvane
