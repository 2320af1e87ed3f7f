#include "EditorTestServices.hpp"
#include "Tilvane/Editor/ContentView.hpp"
#include "Tilvane/Editor/EditorPresentation.hpp"
#include "TilvanePresets/Url.hpp"

#include <QThread>
#include <QtEndian>

#include <functional>

#include <gtest/gtest.h>

namespace tilvane::testing {
namespace {

constexpr const char* unreadableMessage = "O arquivo selecionado não pôde ser lido como imagem.";

quint32 crc32Of(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray pngChunk(const char* kind, const QByteArray& data)
{
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(data.size()), chunk.data());
    const QByteArray body = QByteArray(kind, 4) + data;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32Of(body), crc.data());
    return chunk + body + crc;
}

// A PNG whose header declares 30000 × 30000 pixels, with almost no data behind it.
QByteArray hugePNGHeader()
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(30000, header.data());
    qToBigEndian<quint32>(30000, header.data() + 4);
    header[8] = 8;  // bit depth
    header[9] = 2;  // RGB
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header)
           + pngChunk("IDAT", QByteArray::fromHex("789c030000000001")) + pngChunk("IEND", {});
}

TEST(ContentViewLoading, PreviewBaseIsAtMost960OnTheLongerSide)
{
    struct Row {
        int width, height, previewWidth, previewHeight;
    };
    const Row rows[] = {
        {4000, 3000, 960, 720}, {3000, 4000, 720, 960},
        {500, 300, 500, 300},   {1920, 1001, 960, 501},  // 500.5 rounds up
        {1921, 1, 960, 1},                               // 0.4997 rounds to 0, raised to 1
        {960, 960, 960, 960},   {1, 1, 1, 1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ContentView::previewSize(row.width, row.height), std::make_pair(row.previewWidth, row.previewHeight))
            << row.width << "×" << row.height;
    }
}

TEST(ContentViewLoading, LoadConvertsIntoGridAndPreviewBaseOffTheMainThreadJobs)
{
    EditorTestServices fixture;
    const auto window = fixture.shownWindow();
    fixture.jobs->priorities.clear();

    const auto picture = writeImageFile(fixture.file("landscape.png"), 1200, 900);
    window->loadImage(picture, ImageOrigin::chosen);
    EXPECT_EQ(window->state().sourceName, "landscape.png");
    EXPECT_EQ(window->state().source, nullptr);
    EXPECT_EQ(window->state().pixelGrid, nullptr);
    EXPECT_TRUE(window->state().isProcessing);
    EXPECT_EQ(editor_presentation::subtitle(window->state()), QStringLiteral("Abrindo landscape.png…"));

    fixture.jobs->runAll();
    ASSERT_TRUE(window->state().source);
    ASSERT_TRUE(window->state().pixelGrid);
    ASSERT_TRUE(window->state().shaderPreviewBase);
    EXPECT_EQ(window->state().pixelGrid->width(), 150);
    EXPECT_EQ(window->state().pixelGrid->height(), 113);
    EXPECT_EQ(window->state().shaderPreviewBase->width(), 960);
    EXPECT_EQ(window->state().shaderPreviewBase->height(), 720);
    EXPECT_FALSE(window->state().isProcessing);
    EXPECT_EQ(editor_presentation::subtitle(window->state()), QStringLiteral("landscape.png · 1200 × 900 px"));
    // Loading and conversion, then the built-in thumbnails below them.
    EXPECT_EQ(fixture.jobs->priorities,
              (std::vector<JobPriority>{JobPriority::userInitiated, JobPriority::userInitiated, JobPriority::utility}));
    EXPECT_EQ(fixture.telemetry->events, (std::vector<RecordedEvent>{{TilvaneEvent::imageOpened}}));
}

TEST(ContentViewLoading, SecondLoadDropsTheFirstSilently)
{
    EditorTestServices fixture;
    const auto window = fixture.shownWindow();

    window->loadImage(writeImageFile(fixture.file("first.png"), 30, 30), ImageOrigin::chosen);
    window->loadImage(writeImageFile(fixture.file("second.png"), 50, 20), ImageOrigin::chosen);
    ASSERT_EQ(fixture.jobs->pending.size(), 2u);
    auto firstRead = std::move(fixture.jobs->pending.front());
    fixture.jobs->pending.pop_front();
    firstRead();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(window->state().source, nullptr) << "the first result is dropped";
    EXPECT_TRUE(window->state().isProcessing);
    EXPECT_EQ(window->state().errorMessage(), std::nullopt);

    fixture.jobs->runAll();
    ASSERT_TRUE(window->state().source);
    EXPECT_EQ(window->state().source->width(), 50);
    EXPECT_EQ(window->state().sourceName, "second.png");
    EXPECT_EQ(fixture.telemetry->events, (std::vector<RecordedEvent>{{TilvaneEvent::imageOpened}}));
}

TEST(ContentViewLoading, PaletteChangeDuringALoadLeavesTheLoadAlone)
{
    EditorTestServices fixture;
    const auto window = fixture.shownWindow();
    window->loadImage(writeImageFile(fixture.file("slow.png"), 30, 30), ImageOrigin::chosen);

    VisualSettings visual = window->state().visual;
    visual.paletteID = "nes";
    window->setVisual(visual);
    EXPECT_EQ(fixture.jobs->pending.size(), 1u) << "no conversion without a source";
    fixture.jobs->runAll();
    ASSERT_TRUE(window->state().pixelGrid);
    EXPECT_EQ(window->state().source->width(), 30);
}

TEST(ContentViewLoading, BadFilesGiveOneMessageAndAnEventAndLeaveTheWindowUsable)
{
    EditorTestServices fixture;
    fixture.writeUnreadableFiles();
    writeBytes(fixture.file("huge.png"), hugePNGHeader().toStdString());
    std::vector<std::string> names = unreadableFileNames;
    names.push_back("huge.png");

    for (const std::string& name : names) {
        const auto window = fixture.shownWindow();
        const ContentViewState before = window->state();
        fixture.telemetry->events.clear();

        window->loadImage(fixture.file(name), ImageOrigin::chosen);
        fixture.jobs->runAll();
        EXPECT_EQ(window->state().errorMessage(), unreadableMessage) << name;
        EXPECT_EQ(fixture.telemetry->events, (std::vector<RecordedEvent>{{TilvaneEvent::imageOpenFailed, true}}))
            << name;
        EXPECT_FALSE(window->state().isProcessing) << name;
        EXPECT_EQ(window->state().source, before.source) << name << ": the picture shown before stays";
        EXPECT_EQ(window->state().pixelGrid, before.pixelGrid) << name;
        EXPECT_EQ(window->state().sourceName, before.sourceName) << name;
        EXPECT_EQ(window->state().sourceURL, before.sourceURL) << name;
        EXPECT_EQ(editor_presentation::subtitle(window->state()), editor_presentation::subtitle(before))
            << name << ": not \"Abrindo …\" forever";
        EXPECT_EQ(editor_presentation::loadingName(window->state()), std::nullopt) << name;

        window->dismissError();
        window->loadImage(writeImageFile(fixture.file("good.png"), 24, 24), ImageOrigin::chosen);
        fixture.jobs->runAll();
        EXPECT_TRUE(window->state().pixelGrid) << name << ": the window stays usable";
        EXPECT_EQ(window->state().errorMessage(), std::nullopt) << name;
    }
    EXPECT_TRUE(std::filesystem::is_directory(fixture.file("folder.png")));
    EXPECT_EQ(std::filesystem::file_size(fixture.file("text.png")), 22u) << "a file that cannot be read is untouched";
}

TEST(ContentViewLoading, DeletedImageOfTheRestoredSessionFallsBackToTheSample)
{
    EditorTestServices fixture;
    const auto image = writeImageFile(fixture.file("gone.png"), 20, 20);
    VisualSettings look = initialVisualSettings();
    look.paletteID = "nes";
    LastSessionStore(fixture.sessionFile()).save(LastSession{Url::file(image), look, std::nullopt, 2048, 0.8});
    std::filesystem::remove(image);

    const auto window = fixture.shownWindow();
    EXPECT_EQ(window->state().errorMessage(),
              "A última imagem não está disponível. Abra o arquivo novamente para continuar.");
    EXPECT_EQ(window->state().sourceName, "Exemplo Tilvane");
    EXPECT_EQ(window->state().source, fixture.sample);
    EXPECT_EQ(window->state().visual, initialVisualSettings());
    EXPECT_EQ(window->state().compareFraction, 0.5);
    EXPECT_TRUE(window->state().pixelGrid);
    EXPECT_FALSE(std::filesystem::exists(fixture.sessionFile()));
    EXPECT_TRUE(fixture.telemetry->events.empty());
}

TEST(ContentViewLoading, EveryOpenOfAFileIsCountedButARestoreIsNot)
{
    EditorTestServices fixture;
    const auto window = fixture.shownWindow();
    const auto picture = writeImageFile(fixture.file("again.png"), 20, 20);
    window->loadImage(picture, ImageOrigin::chosen);
    fixture.jobs->runAll();
    window->loadImage(picture, ImageOrigin::chosen);
    fixture.jobs->runAll();
    window->loadImage(picture, ImageOrigin::lastSession);
    fixture.jobs->runAll();
    EXPECT_EQ(fixture.telemetry->events,
              (std::vector<RecordedEvent>{{TilvaneEvent::imageOpened}, {TilvaneEvent::imageOpened}}));
}

TEST(ContentViewLoading, FailedConversionKeepsTheOldGridAndShowsTheConverterMessage)
{
    EditorTestServices fixture;
    const auto window = fixture.shownWindow();
    const ImagePointer grid = window->state().pixelGrid;
    ASSERT_TRUE(grid);

    VisualSettings visual = window->state().visual;
    visual.paletteID = "pico8";
    visual.adjustments.exposure = 5;
    window->setVisual(visual);
    fixture.jobs->runAll();
    EXPECT_EQ(window->state().errorMessage(), "Exposição, contraste ou gamma fora do intervalo permitido.");
    EXPECT_EQ(window->state().pixelGrid, grid);
    EXPECT_EQ(window->state().shaderPreviewBase, nullptr);
    EXPECT_FALSE(window->state().isProcessing);
}

TEST(ContentViewLoading, UnknownPaletteConvertsNothing)
{
    EditorTestServices fixture;
    const auto window = fixture.shownWindow();
    const ContentViewState before = window->state();

    VisualSettings visual = window->state().visual;
    visual.paletteID = "no-such-palette";
    window->setVisual(visual);
    EXPECT_TRUE(fixture.jobs->pending.empty());
    EXPECT_EQ(window->state().pixelGrid, before.pixelGrid);
    EXPECT_EQ(window->state().shaderPreviewBase, before.shaderPreviewBase);
    EXPECT_FALSE(window->state().isProcessing);
}

TEST(ContentViewLoading, MissingSampleShowsNothing)
{
    EditorTestServices fixture;
    fixture.sample = nullptr;
    ContentView window(fixture.services());
    window.windowDidAppear();
    EXPECT_TRUE(fixture.jobs->pending.empty());
    EXPECT_EQ(window.state().sourceName, "");
    EXPECT_EQ(window.state().errorMessage(), std::nullopt);
}

TEST(ContentViewLoading, ResultsOfAWindowThatIsGoneAreDropped)
{
    EditorTestServices fixture;
    auto window = std::make_unique<ContentView>(fixture.services());
    window->loadImage(writeImageFile(fixture.file("late.png"), 20, 20), ImageOrigin::chosen);
    window.reset();
    fixture.jobs->runAll();  // must neither crash nor record anything
    EXPECT_TRUE(fixture.telemetry->events.empty());
}

TEST(ContentViewLoading, OnTheThreadPoolOnlyTheLastOfManyLoadsArrives)
{
    EditorTestServices fixture;
    EditorServices services = fixture.services();
    services.jobs = std::make_shared<ThreadPoolJobRunner>();
    ContentView window(services);
    window.windowDidAppear();

    std::filesystem::path last;
    for (int index = 0; index < 12; ++index) {
        last = writeImageFile(fixture.file("burst-" + std::to_string(index) + ".png"), 40 + index, 30);
        window.loadImage(last, ImageOrigin::chosen);
    }
    for (int wait = 0; wait < 500 && (window.state().isProcessing || !window.state().pixelGrid); ++wait) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    ASSERT_TRUE(window.state().source);
    EXPECT_EQ(window.state().source->width(), 51);
    EXPECT_EQ(window.state().sourceURL, last);
    EXPECT_TRUE(window.state().pixelGrid);
    EXPECT_EQ(fixture.telemetry->events, (std::vector<RecordedEvent>{{TilvaneEvent::imageOpened}}));
}

// The desktop hands a name that is not UTF-8 over percent-encoded; its bytes reach the file as they are.
TEST(ContentViewLoading, DroppedOrHandedOverFileNamedWithBytesThatAreNotUTF8Opens)
{
    struct Row {
        const char* name;
        std::function<void(ContentView&, const QUrl&)> deliver;
    };
    const std::vector<Row> rows = {
        {"dropped", [](ContentView& window, const QUrl& url) { EXPECT_TRUE(window.dropURLs({url})); }},
        {"handed over", [](ContentView& window, const QUrl& url) { window.openURL(url); }},
    };
    EditorTestServices fixture;
    const auto file = fixture.file("foto-\xff\xfe.png");
    // Written under a plain name and renamed: Qt would write the name as UTF-8.
    std::filesystem::rename(writeImageFile(fixture.file("foto.png"), 20, 10), file);
    const QUrl url =
        QUrl::fromEncoded(QByteArray::fromStdString(Url::file(fixture.folder.path()).string()) + "/foto-%FF%FE.png");
    for (const auto& row : rows) {
        const auto window = fixture.shownWindow();
        row.deliver(*window, url);
        fixture.jobs->runAll();
        EXPECT_EQ(window->state().errorMessage(), std::nullopt) << row.name;
        EXPECT_TRUE(window->state().source) << row.name;
        EXPECT_EQ(window->state().sourceURL, file) << row.name;
    }
}

TEST(ContentViewLoading, DropOfWhatIsNotALocalFileIsRefused)
{
    EditorTestServices fixture;
    const auto window = fixture.shownWindow();
    for (const char* address : {"https://example.com/gato.png", "file://servidor/gato.png", "file:///tmp/a%00b.png"}) {
        const QUrl url(QString::fromUtf8(address));
        EXPECT_FALSE(window->dropURLs({url})) << address;
        window->openURL(url);
        EXPECT_EQ(fixture.incoming.pendingURL(), std::nullopt) << address;
        EXPECT_TRUE(fixture.jobs->pending.empty()) << address;
        EXPECT_EQ(window->state().sourceURL, std::nullopt) << address << ": the sample stays";
    }
}

}  // namespace
}  // namespace tilvane::testing
