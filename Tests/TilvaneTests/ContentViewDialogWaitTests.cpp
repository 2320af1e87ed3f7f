// Each of the window's five dialogs waits for the user while the rest of the application goes on: a picture handed
// over, a load that ends or fails, a quit, the window itself destroyed. Whatever arrives, what the confirmed dialog
// writes is what the window showed when the dialog opened, and nothing is done for a window that has gone.

#include "EditorTestServices.hpp"
#include "PresetTestSupport.hpp"
#include "PreviewTestSupport.hpp"
#include "Tilvane/Editor/ContentView.hpp"
#include "Tilvane/Editor/PersonalPresetRules.hpp"
#include "TilvanePresets/LastSessionStore.hpp"
#include "TilvanePresets/PersonalPresetStore.hpp"
#include "TilvanePresets/PersonalPresetTransfer.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tilvane::testing {
namespace {

using presettesting::lookWithPixelSize;
using presettesting::presetNamed;

// What arrives while a dialog waits.
enum class Meanwhile { handOver, finishedLoad, failedLoad, quit, windowDestroyed };

struct MeanwhileRow {
    const char* name;
    Meanwhile meanwhile;
};

const MeanwhileRow meanwhileRows[] = {
    {"a picture handed over, still loading", Meanwhile::handOver},
    {"a picture handed over and shown", Meanwhile::finishedLoad},
    {"a file handed over that cannot be read", Meanwhile::failedLoad},
    {"the application quitting", Meanwhile::quit},
    {"the window destroyed", Meanwhile::windowDestroyed},
};

constexpr const char* unreadableMessage = "O arquivo selecionado não pôde ser lido como imagem.";

// A window showing a wide picture (300 × 100) and holding one personal preset; a tall picture (100 × 300) and an
// unreadable file wait to be handed over.
struct WaitingWindow {
    WaitingWindow()
    {
        PersonalPresetStore(services.presetsFile()).save({preset});
        services.writeUnreadableFiles();
        window = services.shownWindow();
        window->loadImage(wide, ImageOrigin::chosen);
        services.jobs->runAll();
        services.dialogs->meanwhile = [this] { arrive(); };
    }

    // The dialog asked for by `ask`, with `row`'s event arriving while it waits.
    void openDialog(const MeanwhileRow& row, const std::function<void(ContentView&)>& ask)
    {
        meanwhile = row.meanwhile;
        ask(*window);  // the window may be destroyed inside: nothing is touched through it afterwards
        services.dialogs->meanwhile = nullptr;
        services.jobs->runAll();
    }

    void arrive()
    {
        switch (meanwhile) {
        case Meanwhile::handOver:
            services.incoming.receive(tall);
            break;
        case Meanwhile::finishedLoad:
            services.incoming.receive(tall);
            services.jobs->runAll();
            break;
        case Meanwhile::failedLoad:
            services.incoming.receive(services.file("truncated.jpg"));
            services.jobs->runAll();
            break;
        case Meanwhile::quit:
            services.quit(*window);
            break;
        case Meanwhile::windowDestroyed:
            window.reset();
            break;
        }
    }

    bool windowStays() const { return meanwhile != Meanwhile::quit && meanwhile != Meanwhile::windowDestroyed; }

    std::vector<RecordedEvent> exportEvents() const
    {
        std::vector<RecordedEvent> events;
        std::ranges::copy_if(services.telemetry->events, std::back_inserter(events),
                             [](const RecordedEvent& event) { return event.format.has_value(); });
        return events;
    }

    // What is left for the user to read: the failed hand-over's message, once, and nothing else.
    void expectFailuresToldOnce() const
    {
        if (!window) return;
        const auto expected =
            meanwhile == Meanwhile::failedLoad ? std::deque<std::string>{unreadableMessage} : std::deque<std::string>{};
        EXPECT_EQ(window->state().errorMessages, expected);
    }

    // A quit keeps the session of the picture shown when it came.
    void expectSessionKeptOnQuit() const
    {
        if (meanwhile != Meanwhile::quit) return;
        const auto session = LastSessionStore(services.sessionFile()).load();
        ASSERT_TRUE(session.has_value());
        EXPECT_EQ(session->imageURL.path(), wide);
    }

    EditorTestServices services;
    std::filesystem::path wide = writeImageFile(services.file("wide.png"), 300, 100);
    std::filesystem::path tall = writeImageFile(services.file("tall.png"), 100, 300);
    PersonalPreset preset = presetNamed("Retro", lookWithPixelSize(10));
    std::unique_ptr<ContentView> window;
    Meanwhile meanwhile = Meanwhile::handOver;
};

TEST(ADialogsWait, TheGIFIsMadeOfThePictureItsDialogWasOpenedOver)
{
    for (const MeanwhileRow& row : meanwhileRows) {
        SCOPED_TRACE(row.name);
        WaitingWindow fixture;
        const auto target = fixture.services.file("wide-tilvane.gif");
        fixture.services.dialogs->gifDestination = GIFDestination{target, 512, 1};

        fixture.openDialog(row, [](ContentView& window) { window.exportGIF(); });

        ASSERT_EQ(fixture.services.dialogs->gifDialogs.size(), 1u);
        EXPECT_EQ(fixture.services.dialogs->gifDialogs[0].context.sourceWidth, 300);
        EXPECT_EQ(fixture.services.dialogs->gifDialogs[0].context.sourceHeight, 100);
        if (fixture.windowStays()) {
            const auto gif = decodeGIF(target);
            ASSERT_TRUE(gif.has_value());
            EXPECT_EQ(std::pair(gif->width, gif->height), std::pair(512, 171)) << "the wide picture's proportions";
            EXPECT_EQ(gif->delaysMilliseconds, std::vector<int>{1000}) << "the dialog's length";
            EXPECT_EQ(fixture.window->state().gifMaxDimension, 512);
            EXPECT_EQ(fixture.exportEvents().back(),
                      (RecordedEvent{TilvaneEvent::exportCompleted, false, TilvaneExportFormat::gif}));
        } else {
            EXPECT_FALSE(std::filesystem::exists(target));
            EXPECT_TRUE(fixture.exportEvents().empty()) << "no export began";
        }
        fixture.expectFailuresToldOnce();
        fixture.expectSessionKeptOnQuit();
    }
}

TEST(ADialogsWait, ThePNGIsMadeOfThePictureItsDialogWasOpenedOver)
{
    for (const MeanwhileRow& row : meanwhileRows) {
        SCOPED_TRACE(row.name);
        WaitingWindow fixture;
        const auto target = fixture.services.file("wide-tilvane.png");
        fixture.services.dialogs->pngDestination = target;

        fixture.openDialog(row, [](ContentView& window) { window.exportPNG(); });

        if (fixture.windowStays()) {
            int width = 0;
            int height = 0;
            ASSERT_TRUE(decodePNGPixels(target, width, height).has_value());
            EXPECT_EQ(std::pair(width, height), std::pair(300, 100));
            EXPECT_FALSE(fixture.window->state().isExporting);
        } else {
            EXPECT_FALSE(std::filesystem::exists(target));
            EXPECT_TRUE(fixture.exportEvents().empty()) << "no export began";
        }
        fixture.expectFailuresToldOnce();
        fixture.expectSessionKeptOnQuit();
    }
}

TEST(ADialogsWait, ThePresetExportedIsTheOneSelectedWhenItsDialogOpened)
{
    for (const MeanwhileRow& row : meanwhileRows) {
        SCOPED_TRACE(row.name);
        WaitingWindow fixture;
        fixture.window->selectFromGallery(personalSelectionID(fixture.preset.id));
        fixture.services.jobs->runAll();
        const auto target = fixture.services.file("tilvane-preset.json");
        fixture.services.dialogs->presetDestination = target;

        fixture.openDialog(row, [](ContentView& window) { window.exportSelectedPreset(); });

        if (fixture.windowStays()) {
            const PersonalPreset written = PersonalPresetTransfer::decode(fileBytes(target));
            EXPECT_EQ(written.name, fixture.preset.name);
            EXPECT_EQ(written.visual, fixture.preset.visual);
        } else {
            EXPECT_FALSE(std::filesystem::exists(target));
        }
        fixture.expectFailuresToldOnce();
        fixture.expectSessionKeptOnQuit();
    }
}

TEST(ADialogsWait, AnImportedPresetIsStoredOnlyForAWindowThatStays)
{
    for (const MeanwhileRow& row : meanwhileRows) {
        SCOPED_TRACE(row.name);
        WaitingWindow fixture;
        const auto document = fixture.services.file("importado.json");
        writeBytes(document, PersonalPresetTransfer::encode(presetNamed("Importado", lookWithPixelSize(14))));
        fixture.services.dialogs->presetToImport = document;

        fixture.openDialog(row, [](ContentView& window) { window.importPersonalPreset(); });

        std::vector<std::string> stored;
        for (const auto& preset : PersonalPresetStore(fixture.services.presetsFile()).load()) {
            stored.push_back(preset.name);
        }
        const auto expected =
            fixture.windowStays() ? std::vector<std::string>{"Importado", "Retro"} : std::vector<std::string>{"Retro"};
        EXPECT_EQ(stored, expected);
        if (fixture.window) {
            EXPECT_EQ(fixture.window->state().personalPresets.size(), expected.size());
        }
        fixture.expectFailuresToldOnce();
        fixture.expectSessionKeptOnQuit();
    }
}

// The file chosen in "Abrir" is what the window shows, whatever was handed over while the dialog was up.
TEST(ADialogsWait, TheFileChosenToOpenIsTheOneShown)
{
    for (const MeanwhileRow& row : meanwhileRows) {
        SCOPED_TRACE(row.name);
        WaitingWindow fixture;
        const auto chosen = writeImageFile(fixture.services.file("chosen.png"), 120, 80);
        fixture.services.dialogs->imageToOpen = chosen;

        fixture.openDialog(row, [](ContentView& window) { window.openImage(); });

        if (fixture.windowStays()) {
            const ContentViewState& state = fixture.window->state();
            EXPECT_EQ(state.sourceURL, chosen);
            ASSERT_TRUE(state.source);
            EXPECT_EQ(std::pair(state.source->width(), state.source->height()), std::pair(120, 80));
            EXPECT_TRUE(state.pixelGrid);
            EXPECT_FALSE(state.isProcessing);
        } else if (fixture.window) {
            EXPECT_EQ(fixture.window->state().sourceURL, fixture.wide) << "a window going away opens nothing";
        }
        fixture.expectFailuresToldOnce();
        fixture.expectSessionKeptOnQuit();
    }
}

// A shader chosen while the GIF dialog waits would make the GIF move (ten frames a second, through a renderer of its
// own); the GIF of the still look the dialog was opened over holds one frame and renders nothing.
TEST(ADialogsWait, ALookChangedWhileTheGIFDialogWaitsChangesNothingInTheGIF)
{
    RenderingEditor editor;
    auto window = editor.openWindow(writeImageFile(editor.services.file("foto.png"), 300, 100));
    const auto target = editor.services.file("foto-tilvane.gif");
    editor.services.dialogs->gifDestination = GIFDestination{target, 512, 2};
    editor.services.dialogs->meanwhile = [&] {
        VisualSettings shaded = window->state().visual;
        shaded.shader = ShaderConfiguration::fromPreset(presetWithEffect("crt"));
        shaded.pixelSize = 20;
        window->setVisual(shaded);
        editor.services.jobs->runAll();
    };

    window->exportGIF();
    editor.services.jobs->runAll();

    ASSERT_EQ(editor.services.dialogs->gifDialogs.size(), 1u);
    EXPECT_FALSE(editor.services.dialogs->gifDialogs[0].context.animated);
    const auto gif = decodeGIF(target);
    ASSERT_TRUE(gif.has_value());
    EXPECT_EQ(gif->frameCount, 1);
    EXPECT_EQ(gif->delaysMilliseconds, std::vector<int>{2000});
    EXPECT_EQ(editor.exportRenderersMade, 0);
    EXPECT_EQ(window->state().errorMessage(), std::nullopt);
}

// The preset saved anew while its export dialog waits: the document holds the preset the dialog was opened for.
TEST(ADialogsWait, APresetSavedWhileItsExportDialogWaitsIsWrittenAsItWasSelected)
{
    WaitingWindow fixture;
    fixture.window->selectFromGallery(personalSelectionID(fixture.preset.id));
    fixture.services.jobs->runAll();
    const auto target = fixture.services.file("tilvane-preset.json");
    fixture.services.dialogs->presetDestination = target;
    fixture.services.dialogs->meanwhile = [&] {
        fixture.window->setVisual(lookWithPixelSize(30));
        ASSERT_TRUE(fixture.window->saveSelectedPreset());
    };

    fixture.window->exportSelectedPreset();

    EXPECT_EQ(PersonalPresetTransfer::decode(fileBytes(target)).visual, fixture.preset.visual);
    EXPECT_EQ(fixture.window->selectedPersonalPreset()->visual, lookWithPixelSize(30)) << "the save itself held";
}

}  // namespace
}  // namespace tilvane::testing
