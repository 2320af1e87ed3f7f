// Every failure is told: the window keeps the texts not yet dismissed in the order the failures happened, shows the
// first, and the next once that one is put away. A text that repeats before it is put away is told once.

#include "EditorTestServices.hpp"
#include "Tilvane/Editor/ContentView.hpp"
#include "TilvanePresets/Url.hpp"

#include <gtest/gtest.h>

#include <functional>

namespace tilvane::testing {
namespace {

const std::string unreadableFile = "O arquivo selecionado não pôde ser lido como imagem.";
const std::string lastImageGone = "A última imagem não está disponível. Abra o arquivo novamente para continuar.";
const std::string damagedSession = "A última sessão do Tilvane está inválida. O arquivo foi preservado.";
const std::string damagedPresets =
    "Não foi possível ler os presets pessoais: Arquivo de presets pessoais inválido. O arquivo foi preservado.";
const std::string pngNotSaved = "Não foi possível salvar o PNG.";

// Stores a last session whose picture is gone.
void storeSessionOfAGonePicture(EditorTestServices& fixture)
{
    LastSessionStore(fixture.sessionFile())
        .save(LastSession{Url::file(fixture.file("gone.png")), initialVisualSettings(), std::nullopt, 2048, 0.5});
}

void openMissingFile(EditorTestServices& fixture, ContentView& window, const std::string& name)
{
    window.loadImage(fixture.file(name), ImageOrigin::chosen);
    fixture.jobs->runAll();
}

void exportPNGIntoAFolderThatIsGone(EditorTestServices& fixture, ContentView& window)
{
    fixture.dialogs->pngDestination = fixture.file("gone") / "export.png";
    window.exportPNG();
    fixture.jobs->runAll();
}

TEST(ContentViewErrorMessages, EveryFailureIsToldInTheOrderItHappenedAndEachIsPutAwayOnItsOwn)
{
    struct Row {
        const char* name;
        std::function<void(EditorTestServices&)> beforeTheWindow;  // files in place when the window is made
        std::optional<std::string> handedOver;                     // a file handed over at start
        std::function<void(EditorTestServices&, ContentView&)> afterTheStart;
        std::vector<std::string> told;
    };
    const Row rows[] = {
        {"a handed-over file that cannot be read, and the last session's picture gone: the user's file first",
         storeSessionOfAGonePicture,
         "missing.png",
         {},
         {unreadableFile, lastImageGone}},
        {"a damaged last session and damaged personal presets",
         [](EditorTestServices& fixture) {
             writeBytes(fixture.sessionFile(), "{\"version\": 1, \"session\": ");
             writeBytes(fixture.presetsFile(), "{\"version\": 1, \"presets\": [");
         },
         std::nullopt,
         {},
         {damagedSession, damagedPresets}},
        {"one failure, one message", {}, "missing.png", {}, {unreadableFile}},
        {"the same failure twice in a row, told once",
         {},
         "missing.png",
         [](EditorTestServices& fixture, ContentView& window) { openMissingFile(fixture, window, "also-missing.png"); },
         {unreadableFile}},
        {"the same text twice in a row behind the one shown, told once",
         {},
         "missing.png",
         [](EditorTestServices& fixture, ContentView& window) {
             exportPNGIntoAFolderThatIsGone(fixture, window);
             exportPNGIntoAFolderThatIsGone(fixture, window);
         },
         {unreadableFile, pngNotSaved}},
        {"the same text after another one, told again",
         {},
         "missing.png",
         [](EditorTestServices& fixture, ContentView& window) {
             exportPNGIntoAFolderThatIsGone(fixture, window);
             openMissingFile(fixture, window, "also-missing.png");
         },
         {unreadableFile, pngNotSaved, unreadableFile}},
        {"a text put away, then told again",
         {},
         "missing.png",
         [](EditorTestServices& fixture, ContentView& window) {
             window.dismissError();
             openMissingFile(fixture, window, "also-missing.png");
         },
         {unreadableFile}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EditorTestServices fixture;
        if (row.beforeTheWindow) row.beforeTheWindow(fixture);
        if (row.handedOver) fixture.incoming.receive(fixture.file(*row.handedOver));
        ContentView window(fixture.services());
        window.windowDidAppear();
        fixture.jobs->runAll();
        if (row.afterTheStart) row.afterTheStart(fixture, window);

        EXPECT_EQ(window.state().errorMessages, std::deque<std::string>(row.told.begin(), row.told.end()));
        for (const std::string& text : row.told) {
            EXPECT_EQ(window.state().errorMessage(), text) << "the alert shows the oldest text first";
            window.dismissError();
        }
        EXPECT_EQ(window.state().errorMessage(), std::nullopt) << "nothing is left to show";
        window.dismissError();
        EXPECT_TRUE(window.state().errorMessages.empty());
    }
}

}  // namespace
}  // namespace tilvane::testing
