#include "EditorTestServices.hpp"
#include "PreviewTestSupport.hpp"
#include "Tilvane/Editor/ContentView.hpp"
#include "TilvaneCore/ImageFileLoader.hpp"
#include "TilvanePresets/Url.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <system_error>

namespace tilvane::testing {
namespace {

using namespace std::chrono_literals;

VisualSettings picoLook()
{
    VisualSettings visual = initialVisualSettings();
    visual.paletteID = "pico8";
    visual.pixelSize = 4;
    visual.dither = DitherMode::floydSteinberg;
    visual.screen.scanlineStrength = 0.25f;
    return visual;
}

// A stored last session naming a picture of the fixture.
LastSession storedSession(EditorTestServices& fixture, const std::string& imageName)
{
    const auto image = writeImageFile(fixture.file(imageName), 40, 30);
    LastSession session{Url::file(image), picoLook(), std::string("crt-classic"), 1024, 0.25};
    LastSessionStore(fixture.sessionFile()).save(session);
    return session;
}

// Opens a picture and runs its load and conversion.
void openPicture(ContentView& window, EditorTestServices& fixture, const std::string& name)
{
    window.loadImage(writeImageFile(fixture.file(name), 40, 30), ImageOrigin::chosen);
    fixture.jobs->runAll();
}

TEST(ContentViewSession, NewWindowWithoutSessionShowsTheSampleInTheSampleLook)
{
    EditorTestServices fixture;
    ContentView window(fixture.services());
    EXPECT_EQ(window.state(), ContentViewState{});

    window.windowDidAppear();
    fixture.jobs->runAll();

    EXPECT_EQ(window.state().sourceName, "Exemplo Tilvane");
    EXPECT_EQ(window.state().source, fixture.sample);
    EXPECT_EQ(window.state().visual, initialVisualSettings());
    EXPECT_EQ(window.state().shaderID, std::nullopt);
    ASSERT_TRUE(window.state().pixelGrid);
    EXPECT_EQ(window.state().pixelGrid->width(), 8);
    EXPECT_EQ(window.state().pixelGrid->height(), 6);
    EXPECT_FALSE(window.state().isProcessing);
    EXPECT_TRUE(window.state().didStart);
    EXPECT_TRUE(fixture.telemetry->events.empty());
}

TEST(ContentViewSession, ConstructionRestoresTheSessionSettingsAndTheStartOpensItsPicture)
{
    EditorTestServices fixture;
    const LastSession session = storedSession(fixture, "gato preto.png");
    ContentView window(fixture.services());

    EXPECT_EQ(window.state().visual, session.visual);
    EXPECT_EQ(window.state().shaderID, session.selectedPresetID);
    EXPECT_EQ(window.state().maxDimension, 1024);
    EXPECT_EQ(window.state().compareFraction, 0.25);
    EXPECT_EQ(window.state().sourceName, "gato preto.png");
    EXPECT_EQ(window.state().sourceURL, std::nullopt);
    EXPECT_TRUE(window.state().isProcessing);
    EXPECT_EQ(window.state().restoredSession, session);
    EXPECT_TRUE(fixture.jobs->pending.empty());

    window.windowDidAppear();
    fixture.jobs->runAll();
    ASSERT_TRUE(window.state().source);
    EXPECT_EQ(window.state().source->width(), 40);
    EXPECT_EQ(window.state().sourceURL, session.imageURL.path());
    EXPECT_EQ(window.state().restoredSession, std::nullopt);
    EXPECT_EQ(window.state().visual, session.visual);
    EXPECT_TRUE(fixture.telemetry->events.empty()) << "a restore sends no event";
}

TEST(ContentViewSession, FileHandedOverAtLaunchIsShownWithTheRestoredSettings)
{
    EditorTestServices fixture;
    const LastSession session = storedSession(fixture, "restored.png");
    const auto handed = writeImageFile(fixture.file("handed.png"), 20, 10);
    fixture.incoming.receive(QUrl::fromLocalFile(QString::fromStdString(handed.string())));
    ContentView window(fixture.services());

    window.windowDidAppear();
    fixture.jobs->runAll();
    EXPECT_EQ(window.state().sourceURL, handed);
    EXPECT_EQ(window.state().visual, session.visual);
    EXPECT_EQ(window.state().restoredSession, std::nullopt);
    EXPECT_EQ(fixture.incoming.pendingURL(), std::nullopt);
    EXPECT_EQ(fixture.telemetry->events, (std::vector<RecordedEvent>{{TilvaneEvent::imageOpened}}));
}

// The theme button asks the application for the other theme and leaves the window's own until the
// application applies it.
TEST(ContentViewSession, ToggleAppearanceAsksForTheOtherTheme)
{
    EditorTestServices fixture;
    ContentView window(fixture.services());
    std::vector<VTAppearance> requested;
    QObject::connect(&window, &ContentView::appearanceRequested,
                     [&](VTAppearance appearance) { requested.push_back(appearance); });
    for (const auto& [current, other] :
         {std::pair{VTAppearance::noite, VTAppearance::vemi}, std::pair{VTAppearance::vemi, VTAppearance::noite}}) {
        window.setAppearance(current);
        window.toggleAppearance();
        EXPECT_EQ(requested.back(), other);
        EXPECT_EQ(window.state().appearance, current);
    }
    EXPECT_EQ(requested.size(), 2u);
}

TEST(ContentViewSession, VisualChangesAreSortedIntoConversionShaderAndThumbnailWork)
{
    const VisualSettings base = initialVisualSettings();
    struct Row {
        const char* name;
        std::function<void(VisualSettings&)> edit;
        VisualChange expected;
    };
    const std::vector<Row> rows = {
        {"nothing", [](VisualSettings&) {}, VisualChange::none},
        {"palette", [](VisualSettings& v) { v.paletteID = "nes"; }, VisualChange::convert},
        {"custom colours",
         [](VisualSettings& v) {
             v.customColors = std::vector<RGBColor>{{1, 2, 3}, {4, 5, 6}};
         },
         VisualChange::convert},
        {"pixel size", [](VisualSettings& v) { v.pixelSize = 12; }, VisualChange::convert},
        {"dither", [](VisualSettings& v) { v.dither = DitherMode::bayer4x4; }, VisualChange::convert},
        {"exposure", [](VisualSettings& v) { v.adjustments.exposure = 0.5f; }, VisualChange::convert},
        {"contrast", [](VisualSettings& v) { v.adjustments.contrast = 1.2f; }, VisualChange::convert},
        {"gamma", [](VisualSettings& v) { v.adjustments.gamma = 0.8f; }, VisualChange::convert},
        {"shader", [](VisualSettings& v) { v.shader = ShaderConfiguration{}; }, VisualChange::applyShader},
        {"shader motion",
         [](VisualSettings& v) {
             v.shader = ShaderConfiguration{};
             v.shader->motion = true;
         },
         VisualChange::applyShader},
        {"scanline thickness", [](VisualSettings& v) { v.screen.scanlineThickness = 0.7f; },
         VisualChange::applyShaderAndRefreshThumbnails},
        {"scanline strength", [](VisualSettings& v) { v.screen.scanlineStrength = 0.3f; },
         VisualChange::applyShaderAndRefreshThumbnails},
        {"glow", [](VisualSettings& v) { v.screen.glowStrength = 0.3f; },
         VisualChange::applyShaderAndRefreshThumbnails},
        {"palette and shader",
         [](VisualSettings& v) {
             v.paletteID = "nes";
             v.shader = ShaderConfiguration{};
         },
         VisualChange::convert},
    };
    for (const auto& row : rows) {
        VisualSettings edited = base;
        row.edit(edited);
        EXPECT_EQ(ContentView::classifyVisualChange(base, edited), row.expected) << row.name;
    }
}

TEST(ContentViewSession, ConversionInputsConvertAgainWhileShaderSettingsDoNot)
{
    EditorTestServices fixture;
    const auto window = fixture.shownWindow();
    const ImagePointer grid = window->state().pixelGrid;

    VisualSettings thicker = window->state().visual;
    thicker.screen.scanlineThickness = 0.8f;
    window->setVisual(thicker);
    EXPECT_TRUE(fixture.jobs->pending.empty()) << "no conversion for a screen setting";
    EXPECT_FALSE(window->state().isProcessing);
    EXPECT_EQ(window->state().pixelGrid, grid);

    VisualSettings larger = thicker;
    larger.pixelSize = 16;
    window->setVisual(larger);
    EXPECT_EQ(fixture.jobs->pending.size(), 1u);
    EXPECT_TRUE(window->state().isProcessing);
    fixture.jobs->runAll();
    ASSERT_TRUE(window->state().pixelGrid);
    EXPECT_EQ(window->state().pixelGrid->width(), 4);

    window->setVisual(larger);
    EXPECT_TRUE(fixture.jobs->pending.empty()) << "an equal value fires nothing";
}

TEST(ContentViewSession, FiveChangesWriteTheSessionOnce300MillisecondsAfterTheLast)
{
    EditorTestServices fixture;
    const auto window = fixture.shownWindow();
    openPicture(*window, fixture, "picture.png");
    ASSERT_TRUE(std::filesystem::exists(fixture.sessionFile())) << "a successful load saves at once";
    std::filesystem::remove(fixture.sessionFile());

    for (int step = 1; step <= 5; ++step) {
        VisualSettings visual = window->state().visual;
        visual.screen.glowStrength = 0.1f * step;
        window->setVisual(visual);
        fixture.clock->advance(50ms);
        EXPECT_FALSE(std::filesystem::exists(fixture.sessionFile())) << "change " << step;
    }
    fixture.clock->advance(249ms);
    EXPECT_FALSE(std::filesystem::exists(fixture.sessionFile()));
    fixture.clock->advance(1ms);
    ASSERT_TRUE(std::filesystem::exists(fixture.sessionFile()));
    EXPECT_FLOAT_EQ(LastSessionStore(fixture.sessionFile()).load()->visual.screen.glowStrength, 0.5f);

    std::filesystem::remove(fixture.sessionFile());
    fixture.clock->advance(2s);
    EXPECT_FALSE(std::filesystem::exists(fixture.sessionFile())) << "one write only";
}

TEST(ContentViewSession, DividerDragSavesOnlyAfterItEndsAndAShaderChoiceSavesToo)
{
    EditorTestServices fixture;
    const auto window = fixture.shownWindow();
    openPicture(*window, fixture, "picture.png");
    std::filesystem::remove(fixture.sessionFile());

    window->setCompareFraction(0.3);
    window->setCompareFraction(0.7);
    fixture.clock->advance(1s);
    EXPECT_FALSE(std::filesystem::exists(fixture.sessionFile()));

    window->compareEnded();
    fixture.clock->advance(299ms);
    EXPECT_FALSE(std::filesystem::exists(fixture.sessionFile()));
    fixture.clock->advance(1ms);
    ASSERT_TRUE(std::filesystem::exists(fixture.sessionFile()));
    EXPECT_EQ(LastSessionStore(fixture.sessionFile()).load()->compareFraction, 0.7);

    window->setShaderID(std::string("crt-classic"));
    fixture.clock->advance(300ms);
    EXPECT_EQ(LastSessionStore(fixture.sessionFile()).load()->selectedPresetID, "crt-classic");
}

TEST(ContentViewSession, MaximumSideReloadsAFileButNotTheSample)
{
    EditorTestServices fixture;
    const auto window = fixture.shownWindow();

    window->setMaxDimension(1024);
    EXPECT_TRUE(fixture.jobs->pending.empty());
    EXPECT_EQ(window->state().source, fixture.sample);

    const auto picture = writeImageFile(fixture.file("wide.png"), 300, 100);
    window->loadImage(picture, ImageOrigin::chosen);
    fixture.jobs->runAll();
    ASSERT_EQ(window->state().source->width(), 300);
    window->setMaxDimension(150);
    EXPECT_EQ(window->state().source, nullptr);
    EXPECT_TRUE(window->state().isProcessing);
    fixture.jobs->runAll();
    ASSERT_TRUE(window->state().source);
    EXPECT_EQ(window->state().source->width(), 150);
    EXPECT_EQ(window->state().source->height(), 50);
}

TEST(ContentViewSession, LeavingTheActivePhaseSavesAtOnce)
{
    EditorTestServices fixture;
    const auto window = fixture.shownWindow();
    openPicture(*window, fixture, "picture.png");
    std::filesystem::remove(fixture.sessionFile());
    VisualSettings visual = window->state().visual;
    visual.screen.glowStrength = 0.4f;
    window->setVisual(visual);

    window->setScenePhase(ScenePhase::background);
    EXPECT_TRUE(std::filesystem::exists(fixture.sessionFile()));
    EXPECT_FALSE(window->state().isShaderProcessing);
    std::filesystem::remove(fixture.sessionFile());
    fixture.clock->advance(1s);
    EXPECT_FALSE(std::filesystem::exists(fixture.sessionFile())) << "the pending save was cancelled";
}

TEST(ContentViewSession, GoingAwayKeepsOrDeletesTheSessionFile)
{
    struct Row {
        const char* name;
        bool showsFile;
        bool terminating;
        bool fileRemains;
    };
    const Row rows[] = {
        {"sample while quitting", false, true, false},
        {"file while quitting", true, true, true},
        {"file, window closed", true, false, false},
    };
    for (const auto& row : rows) {
        EditorTestServices fixture;
        const auto window = fixture.shownWindow();
        if (row.showsFile) openPicture(*window, fixture, "picture.png");
        storedSession(fixture, "other.png");  // something to keep or delete
        VisualSettings visual = window->state().visual;
        visual.pixelSize = 20;
        window->setVisual(visual);
        fixture.jobs->runAll();
        if (row.terminating) fixture.lifecycle.setTerminating();

        window->windowDidDisappear();
        EXPECT_EQ(std::filesystem::exists(fixture.sessionFile()), row.fileRemains) << row.name;
        if (row.fileRemains) {
            EXPECT_EQ(LastSessionStore(fixture.sessionFile()).load()->visual.pixelSize, 20);
        }
        fixture.clock->advance(1s);
        EXPECT_EQ(std::filesystem::exists(fixture.sessionFile()), row.fileRemains) << row.name << ": no late save";
    }
}

TEST(ContentViewSession, ClosingOneOfTwoWindowsDeletesTheFileUntilTheOtherSavesAgain)
{
    EditorTestServices fixture;
    ContentView first(fixture.services());
    ContentView second(fixture.services());
    first.windowDidAppear();
    second.windowDidAppear();
    openPicture(first, fixture, "one.png");
    openPicture(second, fixture, "two.png");
    ASSERT_TRUE(std::filesystem::exists(fixture.sessionFile()));

    first.windowDidDisappear();
    EXPECT_FALSE(std::filesystem::exists(fixture.sessionFile()));
    second.compareEnded();
    fixture.clock->advance(300ms);
    ASSERT_TRUE(std::filesystem::exists(fixture.sessionFile()));
    EXPECT_EQ(LastSessionStore(fixture.sessionFile()).load()->imageURL.path().filename(), "two.png");
}

TEST(ContentViewSession, UnreadableSessionFileStaysByteIdenticalThroughCloseAndQuit)
{
    struct Row {
        const char* name;
        std::string contents;
        std::string message;
    };
    const Row rows[] = {
        {"version 2",
         R"({"version": 2, "session": {"imageURL": "file:///tmp/a.png", "visual": {"paletteID": "gameboy", "pixelSize": 8}, "maxDimension": 2048, "compareFraction": 0.5}})",
         "A sessão foi salva por outra versão do Tilvane. O arquivo foi preservado."},
        {"broken JSON",
         "{\"version\": 1, \"session\": ", "A última sessão do Tilvane está inválida. O arquivo foi preservado."},
    };
    for (const auto& row : rows) {
        for (const bool quitting : {false, true}) {
            EditorTestServices fixture;
            writeBytes(fixture.sessionFile(), row.contents);
            const std::string before = fileBytes(fixture.sessionFile());
            ContentView window(fixture.services());
            EXPECT_EQ(window.state().errorMessage(), row.message) << row.name;
            window.windowDidAppear();
            fixture.jobs->runAll();
            EXPECT_EQ(window.state().source, fixture.sample) << row.name;

            if (quitting) {
                fixture.lifecycle.setTerminating();
                window.applicationWillTerminate();
            }
            window.windowDidDisappear();
            EXPECT_EQ(fileBytes(fixture.sessionFile()), before)
                << row.name << (quitting ? " after quitting" : " after closing");
        }
    }
}

TEST(ContentViewSession, UnreadableSessionFileIsKeptAsideOnceTheWindowSavesItsOwn)
{
    struct Row {
        const char* name;
        std::string contents;
    };
    const Row rows[] = {
        {"broken JSON", "not json"},
        {"another version",
         R"({"version": 2, "session": {"imageURL": "file:///tmp/a.png", "visual": {"paletteID": "gameboy", "pixelSize": 8}, "maxDimension": 2048, "compareFraction": 0.5}})"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EditorTestServices fixture;
        writeBytes(fixture.sessionFile(), row.contents);
        const auto picture = writeImageFile(fixture.file("picture.png"), 40, 30);
        fixture.incoming.receive(picture);
        ContentView window(fixture.services());
        EXPECT_TRUE(window.state().errorMessage());
        window.windowDidAppear();
        fixture.jobs->runAll();
        ASSERT_EQ(window.state().sourceURL, picture);

        fixture.quit(window);
        EXPECT_EQ(fileBytes(fixture.file("last-session.unreadable.json")), row.contents);
        EXPECT_EQ(LastSessionStore(fixture.sessionFile()).load()->imageURL.path(), picture);
    }
}

// Ten edits, each saved 0.3 s later, with every alert put away as it comes: the session-save failures told, in order.
std::vector<std::string> saveFailuresOverTenSaves(ContentView& window, EditorTestServices& fixture)
{
    std::vector<std::string> told;
    for (int save = 1; save <= 10; ++save) {
        VisualSettings visual = window.state().visual;
        visual.screen.glowStrength = 0.05f * static_cast<float>(save);
        window.setVisual(visual);
        fixture.clock->advance(300ms);
        while (const auto message = window.state().errorMessage()) {
            if (message->starts_with("Não foi possível salvar a última sessão: ")) told.push_back(*message);
            window.dismissError();
        }
    }
    return told;
}

// A broken session path fails every save the same way: the alert tells it once, in words without the system's
// "Invalid argument", and not again at each of the saves that follow.
TEST(ContentViewSession, ASaveFailingForTheSameCauseIsToldOnce)
{
    using Guard = std::shared_ptr<void>;
    const std::string prefix = "Não foi possível salvar a última sessão: ";
    const std::string denied = std::generic_category().message(EACCES);
    struct Row {
        const char* name;
        std::function<Guard(const std::filesystem::path& file)> breakPath;
        std::function<std::string(const std::filesystem::path& file)> told;
    };
    const auto notAFile = [&](const std::filesystem::path& file) {
        return prefix + "Não é um arquivo comum “" + file.string() + "”";
    };
    const Row rows[] = {
        {"folder",
         [](const auto& file) {
             std::filesystem::remove(file);
             std::filesystem::create_directory(file);
             return Guard();
         },
         notAFile},
        {"FIFO",
         [](const auto& file) {
             std::filesystem::remove(file);
             EXPECT_EQ(::mkfifo(file.c_str(), 0600), 0);
             return Guard();
         },
         notAFile},
        {"link to /dev/zero",
         [](const auto& file) {
             std::filesystem::remove(file);
             std::filesystem::create_symlink("/dev/zero", file);
             return Guard();
         },
         notAFile},
        {"unreadable file", [](const auto& file) { return Guard(std::make_shared<UnreadableFile>(file)); },
         [&](const auto& file) {
             return prefix + "Não foi possível ler o arquivo “" + file.string() + "”: " + denied;
         }},
        {"read-only support folder",
         [](const auto& file) { return Guard(std::make_shared<ReadOnlyFolder>(file.parent_path())); },
         [&](const auto& file) {
             return prefix + "Não foi possível criar um arquivo na pasta “" + file.parent_path().string()
                    + "”: " + denied;
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EditorTestServices fixture;
        const auto window = fixture.shownWindow();
        openPicture(*window, fixture, "picture.png");
        ASSERT_TRUE(std::filesystem::exists(fixture.sessionFile())) << "saved while the path was sound";

        const Guard broken = row.breakPath(fixture.sessionFile());
        EXPECT_EQ(saveFailuresOverTenSaves(*window, fixture), std::vector{row.told(fixture.sessionFile())});
    }
}

// Told once means once per cause: another cause is told, and so is the same one again after a save succeeded.
TEST(ContentViewSession, ASaveFailureIsToldAgainAfterASuccessOrWhenItsCauseChanges)
{
    EditorTestServices fixture;
    const auto window = fixture.shownWindow();
    openPicture(*window, fixture, "picture.png");
    const auto file = fixture.sessionFile();
    const std::string told = "Não foi possível salvar a última sessão: Não é um arquivo comum “" + file.string() + "”";

    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    EXPECT_EQ(saveFailuresOverTenSaves(*window, fixture), std::vector{told});
    std::filesystem::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_TRUE(saveFailuresOverTenSaves(*window, fixture).empty()) << "a FIFO in place of the folder: the same cause";

    std::filesystem::remove(file);
    {
        const ReadOnlyFolder readOnly(fixture.folder.path());
        EXPECT_EQ(saveFailuresOverTenSaves(*window, fixture).size(), 1u) << "another cause";
    }
    std::filesystem::create_directory(file);
    EXPECT_EQ(saveFailuresOverTenSaves(*window, fixture), std::vector{told}) << "the first cause again";

    std::filesystem::remove(file);
    EXPECT_TRUE(saveFailuresOverTenSaves(*window, fixture).empty());
    EXPECT_TRUE(LastSessionStore(file).load()) << "a save succeeded";
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    EXPECT_EQ(saveFailuresOverTenSaves(*window, fixture), std::vector{told}) << "told again after the success";
}

TEST(ContentViewSession, IncomingFileGoesToTheFirstWindowToTakeTheSlot)
{
    EditorTestServices fixture;
    ContentView first(fixture.services());
    ContentView second(fixture.services());
    first.windowDidAppear();
    second.windowDidAppear();
    fixture.jobs->runAll();

    const auto file = writeImageFile(fixture.file("incoming.png"), 16, 16);
    first.openURL(QUrl::fromLocalFile(QString::fromStdString(file.string())));
    fixture.jobs->runAll();
    const int opened = (first.state().sourceURL == file) + (second.state().sourceURL == file);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(fixture.incoming.pendingURL(), std::nullopt);

    first.openURL(QUrl(QStringLiteral("https://example.com/a.png")));
    EXPECT_EQ(fixture.incoming.pendingURL(), std::nullopt) << "a web address is dropped";
}

}  // namespace
}  // namespace tilvane::testing
