#include "PreviewTestSupport.hpp"

#include "Tilvane/Views/ExportActions.hpp"

#include <gtest/gtest.h>

#include <QAction>
#include <QTimer>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace tilvane::testing {
namespace {

// A window showing a picture file opened from its own folder.
struct ExportFixture : RenderingEditor {
    explicit ExportFixture(int width = 80, int height = 60)
        : picture(writeImageFile(folder.path() / "foto.jpeg", width, height))
    {
    }

    std::unique_ptr<ContentView> openWindow() { return RenderingEditor::openWindow(picture); }

    std::vector<RecordedEvent> exportEvents() const
    {
        std::vector<RecordedEvent> events;
        std::ranges::copy_if(services.telemetry->events, std::back_inserter(events),
                             [](const RecordedEvent& event) { return event.format.has_value(); });
        return events;
    }

    TemporaryFolder folder;
    std::filesystem::path picture;
};

VisualSettings shaded(VisualSettings visual, const std::string& effect = "crt")
{
    visual.shader = ShaderConfiguration::fromPreset(presetWithEffect(effect));
    return visual;
}

TEST(ContentViewExport, DialogsProposeTheNameBesideTheSource)
{
    ExportFixture fixture;
    const auto window = fixture.openWindow();
    window->exportPNG();
    window->exportGIF();
    const std::vector<SavePanel> expected{
        {QStringLiteral("Exportar PNG"), fixture.folder / "foto-tilvane.png", QStringLiteral("PNG (*.png)"),
         QStringLiteral("png")},
        {QStringLiteral("Exportar GIF"), fixture.folder / "foto-tilvane.gif", QStringLiteral("GIF (*.gif)"),
         QStringLiteral("gif")},
    };
    EXPECT_EQ(fixture.services.dialogs->savePanels, expected);
    EXPECT_FALSE(window->state().isExporting) << "a cancelled dialog starts nothing";
    EXPECT_TRUE(fixture.exportEvents().empty());
}

TEST(ContentViewExport, PNGAtTheSourceSize)
{
    ExportFixture fixture(80, 60);
    const auto window = fixture.openWindow();
    window->setVisual(shaded(window->state().visual));
    fixture.services.jobs->runAll();
    const auto target = fixture.folder.path() / "foto-tilvane.png";
    fixture.services.dialogs->pngDestination = target;

    window->exportPNG();
    EXPECT_TRUE(window->state().isExporting);
    fixture.services.jobs->runAll();
    EXPECT_FALSE(window->state().isExporting);
    EXPECT_EQ(window->state().errorMessage(), std::nullopt);
    int width = 0;
    int height = 0;
    ASSERT_TRUE(decodePNGPixels(target, width, height).has_value());
    EXPECT_EQ(width, 80);
    EXPECT_EQ(height, 60);
    EXPECT_EQ(fixture.exportEvents(),
              (std::vector<RecordedEvent>{{TilvaneEvent::exportStarted, false, TilvaneExportFormat::png},
                                          {TilvaneEvent::exportCompleted, false, TilvaneExportFormat::png}}));
}

TEST(ContentViewExport, GIFWithTheDialogsChoiceReadsBack)
{
    ExportFixture fixture(800, 600);
    const auto window = fixture.openWindow();
    window->setVisual(shaded(window->state().visual, "realisticPhosphor"));
    fixture.services.jobs->runAll();
    const auto target = fixture.folder.path() / "foto-tilvane.gif";
    fixture.services.dialogs->gifDestination = GIFDestination{target, 512, 1};

    window->exportGIF();
    ASSERT_EQ(fixture.services.dialogs->gifDialogs.size(), 1u);
    const auto& shown = fixture.services.dialogs->gifDialogs[0];
    EXPECT_EQ(shown.maxDimension, 1024);
    EXPECT_EQ(shown.duration, 2);
    EXPECT_EQ(shown.context.sourceWidth, 800);
    EXPECT_EQ(shown.context.sourceHeight, 600);
    EXPECT_TRUE(shown.context.animated);
    EXPECT_EQ(window->state().gifMaxDimension, 512) << "the choice is kept for the next export";
    EXPECT_EQ(window->state().gifDuration, 1);
    fixture.services.jobs->runAll();

    EXPECT_EQ(fixture.exportRenderersMade, 1);
    const auto gif = decodeGIF(target);
    ASSERT_TRUE(gif.has_value());
    EXPECT_EQ(gif->width, 512);
    EXPECT_EQ(gif->height, 384);
    EXPECT_EQ(gif->frameCount, 10);
    EXPECT_EQ(gif->loop, 0);
    EXPECT_EQ(gif->delaysMilliseconds, std::vector<int>(10, 100));
    EXPECT_EQ(fixture.exportEvents().back(),
              (RecordedEvent{TilvaneEvent::exportCompleted, false, TilvaneExportFormat::gif}));
}

TEST(ContentViewExport, GIFOptionsLeftInACancelledPanelStayForTheWindow)
{
    ExportFixture fixture;
    const auto window = fixture.openWindow();
    fixture.services.dialogs->gifDestination = GIFDestination{std::nullopt, 2048, 3};
    window->exportGIF();
    EXPECT_FALSE(window->state().isExporting);
    EXPECT_EQ(window->state().gifMaxDimension, 2048);
    EXPECT_EQ(window->state().gifDuration, 3);

    fixture.services.dialogs->gifDestination.reset();
    window->exportGIF();
    ASSERT_EQ(fixture.services.dialogs->gifDialogs.size(), 2u);
    EXPECT_EQ(fixture.services.dialogs->gifDialogs[1].maxDimension, 2048) << "the panel reopens at the last choice";
    EXPECT_EQ(fixture.services.dialogs->gifDialogs[1].duration, 3);
    EXPECT_TRUE(fixture.exportEvents().empty());
}

TEST(ContentViewExport, ExportingDisablesBothCommands)
{
    ExportFixture fixture;
    const auto window = fixture.openWindow();
    QAction png;
    QAction gif;
    bindExportActions(*window, &png, &gif);
    const auto draw = [&] { drawExportActions(window->state(), &png, &gif); };
    draw();
    EXPECT_TRUE(png.isEnabled());
    EXPECT_TRUE(gif.isEnabled());
    EXPECT_EQ(png.text(), QStringLiteral("Exportar PNG"));

    fixture.services.dialogs->pngDestination = fixture.folder.path() / "foto-tilvane.png";
    png.trigger();
    ASSERT_TRUE(window->state().isExporting);
    draw();
    EXPECT_FALSE(png.isEnabled());
    EXPECT_FALSE(gif.isEnabled());
    EXPECT_EQ(png.text(), QStringLiteral("Exportando…"));
    EXPECT_EQ(gif.text(), QStringLiteral("Exportando…"));
    window->exportGIF();  // a shortcut that slipped through starts nothing
    EXPECT_EQ(fixture.services.dialogs->savePanels.size(), 1u);

    fixture.services.jobs->runAll();
    draw();
    EXPECT_TRUE(png.isEnabled());
    EXPECT_TRUE(gif.isEnabled());
    EXPECT_EQ(gif.text(), QStringLiteral("Exportar GIF"));
}

// Each failure leaves the earlier export byte for byte and no temporary file, shows the format's text
// and sends export_failed with the format.
TEST(ContentViewExport, FailuresLeaveTheTargetUnchanged)
{
    enum class Fault { readOnlyFolder, deletedFolder, fileSizeLimit, noSharedRenderer };
    struct Row {
        const char* name;
        Fault fault;
        TilvaneExportFormat format;
        std::string message;
    };
    const std::string gifPrefix = "Não foi possível salvar o GIF: ";
    const Row rows[] = {
        {"PNG into a read-only folder", Fault::readOnlyFolder, TilvaneExportFormat::png,
         "Não foi possível salvar o PNG."},
        {"GIF into a read-only folder", Fault::readOnlyFolder, TilvaneExportFormat::gif,
         gifPrefix + "Não foi possível criar o arquivo GIF."},
        {"PNG into a deleted folder", Fault::deletedFolder, TilvaneExportFormat::png, "Não foi possível salvar o PNG."},
        {"GIF into a deleted folder", Fault::deletedFolder, TilvaneExportFormat::gif,
         gifPrefix + "Não foi possível criar o arquivo GIF."},
        {"PNG past the file size limit", Fault::fileSizeLimit, TilvaneExportFormat::png,
         "Não foi possível salvar o PNG."},
        {"GIF past the file size limit", Fault::fileSizeLimit, TilvaneExportFormat::gif,
         gifPrefix + "Não foi possível concluir o arquivo GIF."},
        {"PNG of a shaded look without the shared renderer", Fault::noSharedRenderer, TilvaneExportFormat::png,
         "Não foi possível salvar o PNG."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ExportFixture fixture(600, 450);
        const auto window = fixture.openWindow();
        window->setVisual(shaded(window->state().visual, "glitchy"));
        fixture.services.jobs->runAll();
        const bool png = row.format == TilvaneExportFormat::png;

        const auto exports = fixture.folder.path() / "exports";
        std::filesystem::create_directory(exports);
        const auto target = exports / (png ? "foto-tilvane.png" : "foto-tilvane.gif");
        std::ofstream(target) << "the earlier export";
        fixture.services.dialogs->pngDestination = target;
        fixture.services.dialogs->gifDestination = GIFDestination{target, 512, 1};
        if (row.fault == Fault::deletedFolder) {
            // Deleted while the dialog was open: the dialog answers a path in a folder that is gone.
            std::filesystem::remove_all(exports);
        }
        if (row.fault == Fault::noSharedRenderer) fixture.renderer = nullptr;
        png ? window->exportPNG() : window->exportGIF();
        {
            std::optional<ReadOnlyFolder> readOnly;
            std::optional<FileSizeLimit> limit;
            if (row.fault == Fault::readOnlyFolder) readOnly.emplace(exports);
            if (row.fault == Fault::fileSizeLimit) limit.emplace(32 * 1024);
            fixture.services.jobs->runAll();  // the export runs here, on this thread
        }
        EXPECT_EQ(window->state().errorMessage(), row.message);
        EXPECT_TRUE(fixture.services.closedWindowExportFailures.empty()) << "an open window tells its own failure";
        EXPECT_FALSE(window->state().isExporting);
        if (row.fault == Fault::deletedFolder) {
            EXPECT_FALSE(std::filesystem::exists(exports));
        } else {
            EXPECT_EQ(fileBytes(target), "the earlier export");
            std::set<std::string> entries;
            for (const auto& entry : std::filesystem::directory_iterator(exports)) {
                entries.insert(entry.path().filename());
            }
            EXPECT_EQ(entries, std::set<std::string>{target.filename()});
        }
        EXPECT_EQ(fixture.exportEvents().back(), (RecordedEvent{TilvaneEvent::exportFailed, true, row.format}));
    }
}

TEST(ContentViewExport, WithoutTheSharedRendererTheGIFStillTriesItsOwn)
{
    ExportFixture fixture(120, 90);
    fixture.renderer = nullptr;
    const auto window = fixture.openWindow();
    window->setVisual(shaded(window->state().visual));
    fixture.services.jobs->runAll();
    const auto target = fixture.folder.path() / "foto-tilvane.gif";
    fixture.services.dialogs->gifDestination = GIFDestination{target, 512, 1};
    window->dismissError();
    window->exportGIF();
    fixture.services.jobs->runAll();
    EXPECT_EQ(fixture.exportRenderersMade, 1);
    EXPECT_EQ(window->state().errorMessage(), std::nullopt);
    EXPECT_EQ(decodeGIF(target).value_or(DecodedGIF{}).frameCount, 10);
}

// The export outlives a window closed while it runs: its file is written, its outcome recorded, and its
// result, arriving when the window is gone, is dropped without touching it. A failure is told once to whoever the
// services name; a success to nobody.
TEST(ContentViewExport, ClosingOneWindowLetsItsExportFinish)
{
    enum class Close { beforeTheExportRuns, beforeItsResultArrives };
    struct Row {
        const char* name;
        TilvaneExportFormat format;
        Close close;
        bool folderDeleted;
        std::vector<std::string> told;
    };
    const Row rows[] = {
        {"GIF, closed before it runs", TilvaneExportFormat::gif, Close::beforeTheExportRuns, false, {}},
        {"PNG, closed before it runs", TilvaneExportFormat::png, Close::beforeTheExportRuns, false, {}},
        {"GIF, closed before its result arrives", TilvaneExportFormat::gif, Close::beforeItsResultArrives, false, {}},
        {"GIF into a missing folder, closed before it runs",
         TilvaneExportFormat::gif,
         Close::beforeTheExportRuns,
         true,
         {"Não foi possível salvar o GIF: Não foi possível criar o arquivo GIF."}},
        {"PNG into a missing folder, closed before its result arrives",
         TilvaneExportFormat::png,
         Close::beforeItsResultArrives,
         true,
         {"Não foi possível salvar o PNG."}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ExportFixture fixture(400, 300);
        const auto other = fixture.openWindow();
        auto window = fixture.openWindow();
        window->setVisual(shaded(window->state().visual));
        fixture.services.jobs->runAll();
        const bool png = row.format == TilvaneExportFormat::png;
        const auto folder = fixture.folder.path() / (row.folderDeleted ? "gone" : "");
        const auto target = folder / (png ? "foto-tilvane.png" : "foto-tilvane.gif");
        fixture.services.dialogs->pngDestination = target;
        fixture.services.dialogs->gifDestination = GIFDestination{target, 512, 1};
        png ? window->exportPNG() : window->exportGIF();
        ASSERT_TRUE(window->state().isExporting);
        auto& jobs = fixture.services.jobs->pending;
        ASSERT_EQ(jobs.size(), 1u);

        if (row.close == Close::beforeItsResultArrives) {
            const auto exportJob = std::move(jobs.front());
            jobs.pop_front();
            exportJob();
        }
        window.reset();
        fixture.services.jobs->runAll();
        QCoreApplication::sendPostedEvents();

        const TilvaneEvent outcome = row.folderDeleted ? TilvaneEvent::exportFailed : TilvaneEvent::exportCompleted;
        EXPECT_EQ(fixture.exportEvents(), (std::vector<RecordedEvent>{{TilvaneEvent::exportStarted, false, row.format},
                                                                      {outcome, row.folderDeleted, row.format}}));
        EXPECT_EQ(other->state().errorMessage(), std::nullopt) << "no other window speaks for the closed one";
        EXPECT_EQ(fixture.services.closedWindowExportFailures, row.told);
        EXPECT_FALSE(other->state().isExporting);
        if (row.folderDeleted) {
            EXPECT_FALSE(std::filesystem::exists(folder));
        } else if (png) {
            int width = 0;
            int height = 0;
            EXPECT_TRUE(decodePNGPixels(target, width, height).has_value());
            EXPECT_EQ(std::pair(width, height), std::pair(400, 300));
        } else {
            EXPECT_EQ(decodeGIF(target).value_or(DecodedGIF{}).frameCount, 10);
        }
    }
}

TEST(ContentViewExport, QuittingStopsTheExportsOfClosedWindowsAndLeavesNothing)
{
    ExportFixture fixture(400, 300);
    fixture.services.exports = makeExportsStoppedOnQuit();
    auto window = fixture.openWindow();
    window->setVisual(shaded(window->state().visual));
    fixture.services.jobs->runAll();
    const auto target = fixture.folder.path() / "foto-tilvane.gif";
    fixture.services.dialogs->gifDestination = GIFDestination{target, 512, 1};
    window->exportGIF();
    window.reset();

    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();  // ends with aboutToQuit, as the application's quitting does
    fixture.services.jobs->runAll();

    EXPECT_EQ(fixture.folder.entryNames(), std::vector<std::string>{"foto.jpeg"});
    EXPECT_EQ(fixture.exportEvents(),
              (std::vector<RecordedEvent>{{TilvaneEvent::exportStarted, false, TilvaneExportFormat::gif}}));
}

}  // namespace
}  // namespace tilvane::testing
