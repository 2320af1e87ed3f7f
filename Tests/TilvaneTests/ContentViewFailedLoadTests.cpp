// A file that cannot be read changes nothing the user had: the window goes back to the picture, look, results and
// session it showed before the attempt, and at start to what a start without the file shows.

#include "PreviewTestSupport.hpp"
#include "TestSupport/DescriptorLimit.hpp"
#include "Tilvane/Editor/ContentView.hpp"
#include "TilvanePresets/Url.hpp"

#include <gtest/gtest.h>

#include <functional>

namespace tilvane::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* unreadableMessage = "O arquivo selecionado não pôde ser lido como imagem.";

VisualSettings nesLook(VisualSettings visual, bool motion = false)
{
    visual.paletteID = "nes";
    visual.pixelSize = 12;
    visual.shader = ShaderConfiguration::fromPreset(presetWithEffect("crt"), {.motion = motion});
    return visual;
}

// A window showing a photograph in NES at 12 px under a CRT, every job done.
std::unique_ptr<ContentView> photographInNES(RenderingEditor& editor, bool motion = false)
{
    auto window = editor.openWindow(writeImageFile(editor.services.file("photo.png"), 120, 80));
    window->setVisual(nesLook(window->state().visual, motion));
    window->setShaderID(presetWithEffect("crt").id);
    editor.services.jobs->runAll();
    editor.services.clock->advance(1s);  // the session is saved
    return window;
}

ContentViewState withoutAlert(ContentViewState state)
{
    state.errorMessages.clear();
    return state;
}

TEST(ContentViewFailedLoad, AFileThatCannotBeReadLeavesTheWindowAndTheSessionAsTheyWere)
{
    struct Row {
        const char* name;
        std::function<std::unique_ptr<ContentView>(RenderingEditor&)> shownWindow;
    };
    const Row rows[] = {
        {"the sample", [](RenderingEditor& editor) { return editor.readyWindow(); }},
        {"a photograph in NES", [](RenderingEditor& editor) { return photographInNES(editor); }},
    };
    for (const Row& row : rows) {
        for (const std::string& name : unreadableFileNames) {
            SCOPED_TRACE(std::string(row.name) + ", " + name);
            RenderingEditor editor;
            editor.services.writeUnreadableFiles();
            const auto window = row.shownWindow(editor);
            ASSERT_TRUE(window->state().pixelGrid);
            ASSERT_FALSE(window->state().shaderThumbnails.empty());
            const ContentViewState before = window->state();
            const bool hadSession = std::filesystem::exists(editor.services.sessionFile());
            const std::string sessionBefore = hadSession ? fileBytes(editor.services.sessionFile()) : "";
            editor.services.telemetry->events.clear();

            window->loadImage(editor.services.file(name), ImageOrigin::chosen);
            EXPECT_EQ(window->state().source, nullptr) << "the load shows its progress";
            EXPECT_EQ(window->state().sourceName, name);
            EXPECT_TRUE(window->state().isProcessing);

            editor.services.jobs->runAll();
            EXPECT_EQ(window->state().errorMessage(), unreadableMessage);
            EXPECT_TRUE(withoutAlert(window->state()) == before) << "the window shows what it showed before";
            EXPECT_EQ(editor.services.telemetry->events,
                      (std::vector<RecordedEvent>{{TilvaneEvent::imageOpenFailed, true}}));
            EXPECT_EQ(std::filesystem::exists(editor.services.sessionFile()), hadSession);
            if (hadSession) {
                EXPECT_EQ(fileBytes(editor.services.sessionFile()), sessionBefore);
            }

            editor.services.quit(*window);
            if (!hadSession) {
                EXPECT_FALSE(std::filesystem::exists(editor.services.sessionFile())) << "the sample keeps no session";
                continue;
            }
            const auto kept = LastSessionStore(editor.services.sessionFile()).load();
            ASSERT_TRUE(kept);
            EXPECT_EQ(kept->imageURL.path(), editor.services.file("photo.png"));
            EXPECT_EQ(kept->visual, before.visual);
            EXPECT_EQ(kept->selectedPresetID, before.shaderID);
        }
    }
}

TEST(ContentViewFailedLoad, AnAnimatedPreviewGoesOnAfterAFailedLoad)
{
    RenderingEditor editor;
    const auto window = photographInNES(editor, true);
    window->loadImage(editor.services.file("missing.png"), ImageOrigin::chosen);
    editor.services.jobs->runAll();
    ASSERT_EQ(window->state().errorMessage(), unreadableMessage);
    editor.services.jobs->runAll();
    const ImagePointer shown = window->state().shaderImage;
    ASSERT_TRUE(shown);

    editor.services.clock->advance(75ms);
    editor.services.jobs->runAll();
    EXPECT_NE(window->state().shaderImage, shown) << "the next frame follows";
    EXPECT_GT(window->state().shaderFrameTime, 0.0f);
}

TEST(ContentViewFailedLoad, WhatWasUnderWayOrEditedDuringTheLoadRunsOnThePictureThatStays)
{
    struct Row {
        const char* name;
        std::function<void(ContentView&)> beforeLoad;
        std::function<void(ContentView&)> duringLoad;
        int gridWidth;  // of the 120 × 80 photograph
        std::string paletteID;
    };
    const auto blocksOf = [](int pixelSize) {
        return [pixelSize](ContentView& window) {
            VisualSettings visual = window.state().visual;
            visual.pixelSize = pixelSize;
            window.setVisual(visual);
        };
    };
    const auto palette = [](const char* id) {
        return [id](ContentView& window) {
            VisualSettings visual = window.state().visual;
            visual.paletteID = id;
            window.setVisual(visual);
        };
    };
    const Row rows[] = {
        {"a conversion cut off by the load", blocksOf(20), {}, 6, "nes"},
        {"a palette chosen while the file is read", {}, palette("pico8"), 10, "pico8"},
        {"a block size chosen while the file is read", {}, blocksOf(40), 3, "nes"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RenderingEditor editor;
        const auto window = photographInNES(editor);
        if (row.beforeLoad) row.beforeLoad(*window);
        window->loadImage(editor.services.file("missing.png"), ImageOrigin::chosen);
        if (row.duringLoad) row.duringLoad(*window);
        editor.services.jobs->runAll();

        EXPECT_EQ(window->state().errorMessage(), unreadableMessage);
        EXPECT_FALSE(window->state().isProcessing);
        ASSERT_TRUE(window->state().pixelGrid);
        EXPECT_EQ(window->state().pixelGrid->width(), row.gridWidth);
        EXPECT_EQ(window->state().visual.paletteID, row.paletteID);
        EXPECT_TRUE(window->state().shaderPreviewBase);
        EXPECT_TRUE(window->state().shaderImage) << "the preview follows the new grid";
        EXPECT_FALSE(window->state().shaderThumbnails.empty());
    }
}

TEST(ContentViewFailedLoad, LoadsThatReplaceEachOtherAllGoBackToThePictureBeforeTheFirst)
{
    RenderingEditor editor;
    const auto window = photographInNES(editor);
    const ContentViewState before = window->state();
    window->loadImage(editor.services.file("missing.png"), ImageOrigin::chosen);
    window->setMaxDimension(1024);  // reads the missing file again, at the new size
    window->loadImage(editor.services.file("also-missing.png"), ImageOrigin::chosen);
    editor.services.jobs->runAll();

    EXPECT_EQ(window->state().sourceURL, before.sourceURL);
    EXPECT_EQ(window->state().source, before.source);
    EXPECT_EQ(window->state().pixelGrid, before.pixelGrid);
    EXPECT_EQ(window->state().maxDimension, before.maxDimension) << "the size the picture was read at comes back";
}

// Read again at another working size, a file that can no longer be read leaves the picture as it was read: the size
// shown goes back to the one it was read at, and the PNG export and the session agree with it, also when the
// session is written while the file is read.
TEST(ContentViewFailedLoad, AFailedReadAtAnotherWorkingSizeBringsBackTheSizeThePictureWasReadAt)
{
    struct Row {
        const char* name;
        int readAt;
        int chosen;
        int width;  // of the 1500 × 1000 photograph read at `readAt`
        int height;
    };
    const Row rows[] = {
        {"a smaller size chosen", 4096, 1024, 1500, 1000},
        {"a larger size chosen", 1024, 4096, 1024, 683},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RenderingEditor editor;
        const auto photo = writeImageFile(editor.services.file("photo.png"), 1500, 1000);
        const auto window = editor.openWindow(photo);
        window->setMaxDimension(row.readAt);
        editor.services.jobs->runAll();
        const ImagePointer kept = window->state().source;
        ASSERT_TRUE(kept);
        ASSERT_EQ(kept->width(), row.width);
        const std::string sessionBefore = fileBytes(editor.services.sessionFile());

        writeBytes(photo, "no longer a picture");
        window->setMaxDimension(row.chosen);
        window->setScenePhase(ScenePhase::inactive);  // the session is written while the file is read
        window->setScenePhase(ScenePhase::active);
        editor.services.jobs->runAll();

        EXPECT_EQ(window->state().errorMessage(), unreadableMessage);
        EXPECT_EQ(window->state().source, kept);
        EXPECT_EQ(window->state().maxDimension, row.readAt);
        EXPECT_EQ(fileBytes(editor.services.sessionFile()), sessionBefore)
            << "the session names the picture with the size it was read at";

        const auto exported = editor.services.file("photo-tilvane.png");
        editor.services.dialogs->pngDestination = exported;
        window->exportPNG();
        editor.services.jobs->runAll();
        int width = 0;
        int height = 0;
        ASSERT_TRUE(decodePNGPixels(exported, width, height).has_value());
        EXPECT_EQ(std::pair(width, height), std::pair(row.width, row.height));

        editor.services.quit(*window);
        const auto stored = LastSessionStore(editor.services.sessionFile()).load();
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->imageURL.path(), photo);
        EXPECT_EQ(stored->maxDimension, row.readAt);
    }
}

// While a file is read the picture before it is still the one the session names, so quitting then keeps it.
TEST(ContentViewFailedLoad, QuittingWhileAFileIsReadKeepsThePreviousPicturesSession)
{
    RenderingEditor editor;
    const auto window = photographInNES(editor);
    window->loadImage(writeImageFile(editor.services.file("next.png"), 30, 30), ImageOrigin::chosen);
    editor.services.quit(*window);

    const auto kept = LastSessionStore(editor.services.sessionFile()).load();
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->imageURL.path(), editor.services.file("photo.png"));
    EXPECT_EQ(kept->visual.paletteID, "nes");
}

VisualSettings picoLook()
{
    VisualSettings look = initialVisualSettings();
    look.paletteID = "pico8";
    return look;
}

// The last session of an earlier run: `picture` in PICO-8, the divider at 0.3.
void storeSessionOf(const EditorTestServices& fixture, const std::filesystem::path& picture)
{
    LastSessionStore(fixture.sessionFile()).save(LastSession{Url::file(picture), picoLook(), std::nullopt, 2048, 0.3});
}

TEST(ContentViewFailedLoad, AnUnreadableFileAtStartShowsWhatAStartWithoutItShows)
{
    struct Row {
        const char* name;
        bool storedSession;
        bool sessionPictureExists;
    };
    const Row rows[] = {
        {"no last session: the sample", false, false},
        {"a last session: its picture in its look", true, true},
        {"a last session whose picture is gone: the sample", true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EditorTestServices fixture;
        const auto picture = writeImageFile(fixture.file("restored.png"), 40, 30);
        const VisualSettings look = picoLook();
        if (row.storedSession) storeSessionOf(fixture, picture);
        if (!row.sessionPictureExists) std::filesystem::remove(picture);
        const std::string sessionBefore = row.storedSession ? fileBytes(fixture.sessionFile()) : "";
        fixture.incoming.receive(fixture.file("missing.png"));

        ContentView window(fixture.services());
        window.windowDidAppear();
        fixture.jobs->runAll();
        EXPECT_FALSE(window.state().isProcessing);
        if (row.sessionPictureExists) {
            EXPECT_EQ(window.state().errorMessage(), unreadableMessage);
            EXPECT_EQ(window.state().sourceURL, picture);
            ASSERT_TRUE(window.state().pixelGrid);
            EXPECT_EQ(window.state().visual, look);
            EXPECT_EQ(window.state().compareFraction, 0.3);
            EXPECT_EQ(fileBytes(fixture.sessionFile()), sessionBefore) << "nothing was written";
            fixture.quit(window);
            EXPECT_EQ(LastSessionStore(fixture.sessionFile()).load()->imageURL.path(), picture);
        } else {
            EXPECT_EQ(window.state().source, fixture.sample);
            EXPECT_EQ(window.state().sourceName, "Exemplo Tilvane");
            EXPECT_EQ(window.state().visual, initialVisualSettings());
            EXPECT_FALSE(std::filesystem::exists(fixture.sessionFile()));
        }
    }
}

// Runs the one job held, a picture's read, while the process has no file descriptor left, then what follows.
void readWithoutDescriptors(ManualJobRunner& jobs)
{
    ASSERT_EQ(jobs.pending.size(), 1u) << "only the read is under way";
    auto read = std::move(jobs.pending.front());
    jobs.pending.pop_front();
    {
        const DescriptorLimit limit(0);
        read();
    }
    QCoreApplication::sendPostedEvents();
    jobs.runAll();
}

// When the system, not the file, keeps a picture from being read, the user is told so, and nothing that names the
// picture is dropped: the session stays for the next start, which shows the picture.
TEST(ContentViewFailedLoad, APictureTheSystemCannotReadNowKeepsItsSession)
{
    EditorTestServices fixture;
    const auto picture = writeImageFile(fixture.file("restored.png"), 40, 30);
    const VisualSettings look = picoLook();
    storeSessionOf(fixture, picture);
    const std::string sessionBefore = fileBytes(fixture.sessionFile());
    {
        ContentView window(fixture.services());
        window.windowDidAppear();
        readWithoutDescriptors(*fixture.jobs);
        EXPECT_EQ(window.state().errorMessage(),
                  "O sistema não conseguiu ler a última imagem agora (faltaram recursos ou houve um erro de leitura). "
                  "A sessão foi preservada para a próxima abertura.");
        EXPECT_EQ(window.state().source, fixture.sample);
        fixture.clock->advance(1s);
        fixture.quit(window);
        EXPECT_EQ(fileBytes(fixture.sessionFile()), sessionBefore) << "the session was dropped or rewritten";
    }
    ContentView next(fixture.services());
    next.windowDidAppear();
    fixture.jobs->runAll();
    EXPECT_EQ(next.state().sourceURL, picture);
    EXPECT_EQ(next.state().visual, look);
    EXPECT_FALSE(next.state().errorMessage());

    // A picture the user chooses: the one shown stays, and the alert does not blame the file.
    next.loadImage(picture, ImageOrigin::chosen);
    readWithoutDescriptors(*fixture.jobs);
    EXPECT_EQ(next.state().sourceURL, picture);
    EXPECT_TRUE(next.state().pixelGrid);
    EXPECT_EQ(next.state().errorMessage(),
              "O sistema não conseguiu ler o arquivo agora (faltaram recursos ou houve um erro de leitura). O arquivo "
              "foi preservado; tente novamente.");
}

TEST(PictureJobs, WhatRunsAgainWhenAPictureComesBack)
{
    struct Row {
        const char* name;
        PictureJobs interrupted;
        VisualChange lookChange;
        bool presetsChanged;
        PictureJobs resumed;
    };
    const Row rows[] = {
        {"nothing under way, nothing edited", {}, VisualChange::none, false, {}},
        {"a conversion under way", {.conversion = true}, VisualChange::none, false, {.conversion = true}},
        {"a conversion input edited", {.shader = true}, VisualChange::convert, false, {.conversion = true}},
        {"an animation", {.shader = true}, VisualChange::none, false, {.shader = true}},
        {"the shader edited", {}, VisualChange::applyShader, false, {.shader = true}},
        {"the screen edited",
         {},
         VisualChange::applyShaderAndRefreshThumbnails,
         false,
         {.shader = true, .builtInThumbnails = true}},
        {"thumbnails under way", {.builtInThumbnails = true}, VisualChange::none, false, {.builtInThumbnails = true}},
        {"personal thumbnails under way",
         {.personalThumbnails = true},
         VisualChange::none,
         false,
         {.personalThumbnails = true}},
        {"the personal presets changed", {}, VisualChange::none, true, {.personalThumbnails = true}},
        {"a conversion keeps the personal thumbnails apart",
         {.conversion = true, .personalThumbnails = true},
         VisualChange::none,
         false,
         {.conversion = true, .personalThumbnails = true}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(jobsToResume(row.interrupted, row.lookChange, row.presetsChanged), row.resumed) << row.name;
    }
}

}  // namespace
}  // namespace tilvane::testing
