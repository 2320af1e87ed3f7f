#include "EditorTestServices.hpp"
#include "PresetTestSupport.hpp"
#include "PreviewTestSupport.hpp"
#include "Tilvane/Editor/ContentView.hpp"
#include "Tilvane/Editor/PersonalPresetRules.hpp"
#include "TilvanePresets/PersonalPresetTransfer.hpp"
#include "TilvanePresets/StoreLock.hpp"

#include "TestSupport/ForkedProcesses.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace tilvane::testing {
namespace {

using presettesting::checksum;
using presettesting::lookWithPixelSize;
using presettesting::presetNamed;
using presettesting::windowLook;

const std::string readPrefix = "Não foi possível ler os presets pessoais: ";
const std::string savePrefix = "Não foi possível salvar os presets pessoais: ";
const std::string deletePrefix = "Não foi possível excluir o preset: ";
const std::string exportPrefix = "Não foi possível exportar o preset: ";
const std::string importPrefix = "Não foi possível importar o preset: ";

bool startsWith(const std::optional<std::string>& text, const std::string& prefix)
{
    return text && text->starts_with(prefix) && text->size() > prefix.size();
}

// A started editor window on a fixture whose presets file holds `stored`.
class PresetWindowTest : public ::testing::Test {
protected:
    ContentView& openWindow(const std::vector<PersonalPreset>& stored = {})
    {
        if (!stored.empty()) PersonalPresetStore(fixture.presetsFile()).save(stored);
        fixture.shaderPresets = builtIn;
        windows.push_back(fixture.shownWindow());
        return *windows.back();
    }

    // Creates a preset through the name sheet as a user would.
    static bool createThroughSheet(ContentView& window, const std::string& typed)
    {
        window.beginCreatePreset();
        window.setPresetName(typed);
        return window.commitNameDialog();
    }

    EditorTestServices fixture;
    const std::vector<ShaderPreset>& builtIn = builtInPresets();
    std::vector<std::unique_ptr<ContentView>> windows;
};

TEST_F(PresetWindowTest, SelectingALookReplacesWhatTheSelectionOwns)
{
    const auto stored = presetNamed("Retro", lookWithPixelSize(30));
    auto& window = openWindow({stored});
    auto edited = lookWithPixelSize(12);
    edited.paletteID = "nes";
    edited.screen.glowStrength = 0.5f;
    window.setVisual(edited);

    const auto& chosen = builtIn.front();
    window.selectFromGallery(chosen.id);
    auto expected = edited;
    expected.shader = ShaderConfiguration{chosen.passes, false, chosen.bezel};
    EXPECT_EQ(window.state().visual, expected);
    EXPECT_EQ(window.state().shaderID, chosen.id);

    for (const std::string& id : {std::string("personal:nem-um-uuid"), personalSelectionID(Uuid::random())}) {
        window.selectFromGallery(id);
        EXPECT_EQ(window.state().shaderID, id) << "the text is kept";
        EXPECT_EQ(window.state().visual.shader, std::nullopt);
        EXPECT_EQ(window.state().visual.pixelSize, 12);
    }

    window.selectFromGallery(personalSelectionID(stored.id));
    EXPECT_EQ(window.state().visual, stored.visual);
    EXPECT_FALSE(window.hasUnsavedChanges());

    window.setVisual(edited);
    ASSERT_TRUE(window.hasUnsavedChanges());
    window.restoreSavedPreset();
    EXPECT_EQ(window.state().visual, stored.visual) << "\"Restaurar valores salvos\" puts back the whole look";
    EXPECT_EQ(window.state().shaderID, personalSelectionID(stored.id));
}

TEST_F(PresetWindowTest, UnsavedEditsAreGuardedWhenAnotherLookIsChosen)
{
    const auto first = presetNamed("Primeiro", lookWithPixelSize(10)), second = presetNamed("Segundo");
    const auto firstID = personalSelectionID(first.id), secondID = personalSelectionID(second.id);
    const auto editedLook = lookWithPixelSize(22);
    enum class Answer { sameSelection, cancel, discard, save };
    struct Row {
        const char* name;
        Answer answer;
        std::optional<std::string> shaderID;
        VisualSettings visual;
        VisualSettings storedFirst;
    };
    const Row rows[] = {
        {"sameCard", Answer::sameSelection, firstID, editedLook, first.visual},
        {"cancel", Answer::cancel, firstID, editedLook, first.visual},
        {"discard", Answer::discard, secondID, second.visual, first.visual},
        {"save", Answer::save, secondID, second.visual, editedLook},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(fixture.presetsFile());
        windows.clear();
        auto& window = openWindow({first, second});
        window.selectFromGallery(firstID);
        window.setVisual(editedLook);
        ASSERT_TRUE(window.hasUnsavedChanges());

        window.selectFromGallery(row.answer == Answer::sameSelection ? firstID : secondID);
        EXPECT_EQ(window.state().showingUnsavedAlert, row.answer != Answer::sameSelection);
        if (row.answer != Answer::sameSelection) {
            EXPECT_EQ(window.state().pendingSelection, secondID);
        }
        if (row.answer == Answer::cancel) window.unsavedAlertCancel();
        if (row.answer == Answer::discard) window.unsavedAlertDiscard();
        if (row.answer == Answer::save) window.unsavedAlertSave();

        EXPECT_FALSE(window.state().showingUnsavedAlert);
        EXPECT_EQ(window.state().pendingSelection, std::nullopt);
        EXPECT_EQ(window.state().shaderID, row.shaderID);
        EXPECT_EQ(window.state().visual, row.visual);
        EXPECT_EQ(PersonalPresetStore(fixture.presetsFile()).load().front().visual, row.storedFirst);
    }
}

TEST_F(PresetWindowTest, RemovingTheShaderWithUnsavedEditsAsksFirst)
{
    auto look = lookWithPixelSize(9);
    look.shader = ShaderConfiguration::fromPreset(builtIn.front());
    const auto stored = presetNamed("Com shader", look);
    auto& window = openWindow({stored});
    window.selectFromGallery(personalSelectionID(stored.id));
    auto edited = window.state().visual;
    edited.shader->motion = true;
    window.setVisual(edited);

    window.removeShader();
    EXPECT_TRUE(window.state().showingUnsavedAlert);
    EXPECT_EQ(window.state().pendingSelection, std::nullopt);
    EXPECT_TRUE(window.state().visual.shader.has_value()) << "nothing is removed before the answer";
    window.unsavedAlertDiscard();
    EXPECT_EQ(window.state().shaderID, std::nullopt);
    EXPECT_EQ(window.state().visual.shader, std::nullopt);
    EXPECT_EQ(window.state().visual.pixelSize, 9);

    window.removeShader();
    EXPECT_FALSE(window.state().showingUnsavedAlert) << "without a shader there is nothing to remove";
}

TEST_F(PresetWindowTest, CreatingTrimsTheNameSelectsThePresetAndPutsItFirst)
{
    const auto older = presetNamed("Antigo");
    auto& window = openWindow({older});
    window.setVisual(lookWithPixelSize(16));

    EXPECT_FALSE(createThroughSheet(window, " \n\t "));
    EXPECT_TRUE(window.state().showingNameDialog) << "a blank name keeps the sheet open";
    EXPECT_EQ(window.state().errorMessage(), std::nullopt);

    EXPECT_TRUE(createThroughSheet(window, "  Meu CRT Âmbar \n"));
    EXPECT_FALSE(window.state().showingNameDialog);
    ASSERT_EQ(window.state().personalPresets.size(), 2u);
    const auto created = window.state().personalPresets.front();
    EXPECT_EQ(created.name, "Meu CRT Âmbar");
    EXPECT_EQ(created.visual, lookWithPixelSize(16));
    EXPECT_EQ(window.state().shaderID, personalSelectionID(created.id));
    EXPECT_EQ(PersonalPresetStore(fixture.presetsFile()).load(), window.state().personalPresets);

    window.beginRenamePreset();
    EXPECT_EQ(window.state().presetName, "Meu CRT Âmbar");
    EXPECT_EQ(window.state().nameDialogMode, NameDialogMode::rename);
    window.setPresetName(" Âmbar ");
    EXPECT_TRUE(window.commitNameDialog());
    EXPECT_EQ(window.state().personalPresets.front().name, "Âmbar") << "a rename keeps the position";
    EXPECT_EQ(window.state().shaderID, personalSelectionID(created.id)) << "and the selection";
}

TEST_F(PresetWindowTest, DeletingTheSelectedPresetDropsTheShaderButDeletingAnotherKeepsTheSelection)
{
    auto look = lookWithPixelSize(14);
    look.shader = ShaderConfiguration::fromPreset(builtIn.front());
    const auto selected = presetNamed("Escolhido", look), other = presetNamed("Outro");
    auto& window = openWindow({selected, other});
    window.selectFromGallery(personalSelectionID(selected.id));
    // Two other windows on the same file with the other preset selected: one deletes it, the other still asks to.
    auto& elsewhere = openWindow();
    auto& late = openWindow();
    for (ContentView* otherWindow : {&elsewhere, &late}) {
        otherWindow->selectFromGallery(personalSelectionID(other.id));
        otherWindow->requestDeletePreset();
    }

    window.requestDeletePreset();
    EXPECT_TRUE(window.state().showingDeleteAlert);
    EXPECT_EQ(window.state().presetPendingDeletion, selected);
    window.cancelDeletePreset();
    EXPECT_EQ(window.state().presetPendingDeletion, std::nullopt);
    EXPECT_EQ(window.state().personalPresets.size(), 2u);

    elsewhere.confirmDeletePreset();
    EXPECT_EQ(window.state().personalPresets, std::vector{selected});
    EXPECT_EQ(window.state().shaderID, personalSelectionID(selected.id));
    EXPECT_EQ(window.state().visual, look);

    window.requestDeletePreset();
    window.confirmDeletePreset();
    EXPECT_TRUE(window.state().personalPresets.empty());
    EXPECT_EQ(window.state().shaderID, std::nullopt);
    auto withoutShader = look;
    withoutShader.shader.reset();
    EXPECT_EQ(window.state().visual, withoutShader);
    EXPECT_EQ(window.state().presetPendingDeletion, std::nullopt);

    late.confirmDeletePreset();
    EXPECT_EQ(late.state().errorMessage(), deletePrefix + "O preset pessoal não foi encontrado.");
}

// Another Tilvane deleted the preset, and created one, before this window's delete: the window says the preset was
// not found, and then every window of this process shows the list as it is on disk.
TEST_F(PresetWindowTest, DeletingAPresetAnotherProcessDeletedFirstShowsTheListOnDisk)
{
    const auto retro = presetNamed("Retro"), amber = presetNamed("Âmbar"), added = presetNamed("Da outra");
    auto& window = openWindow({retro, amber});
    auto& sibling = openWindow();
    window.selectFromGallery(personalSelectionID(amber.id));
    window.requestDeletePreset();
    ASSERT_EQ(window.state().presetPendingDeletion, amber);

    const PersonalPresetStore store(fixture.presetsFile());
    const auto otherTilvane = [&] {
        store.remove(amber.id);
        store.update([&](std::vector<PersonalPreset> presets) {
            presets.insert(presets.begin(), added);
            return presets;
        });
    };
    ASSERT_EQ(runTogether({otherTilvane}), std::vector{true});
    const auto onDisk = store.load();
    ASSERT_EQ(onDisk, (std::vector{added, retro}));
    const auto before = checksum(fixture.presetsFile());

    window.confirmDeletePreset();
    EXPECT_EQ(window.state().errorMessage(), deletePrefix + "O preset pessoal não foi encontrado.");
    EXPECT_EQ(window.state().personalPresets, onDisk);
    EXPECT_EQ(sibling.state().personalPresets, onDisk);
    EXPECT_EQ(window.state().presetPendingDeletion, std::nullopt);
    EXPECT_EQ(window.selectedPersonalPreset(), std::nullopt) << "its card is gone";
    EXPECT_EQ(checksum(fixture.presetsFile()), before);
}

// An empty presets file (another program's, or one a full disk left) holds no preset: the buttons stay on, and the
// first preset created writes a valid file in its place.
TEST_F(PresetWindowTest, AnEmptyPresetsFileReadsAsNoPresetsAndACreateReplacesIt)
{
    writeBytes(fixture.presetsFile(), "");
    auto& window = openWindow();
    EXPECT_EQ(window.state().errorMessage(), std::nullopt);
    EXPECT_TRUE(window.state().presetStoreAvailable);
    EXPECT_TRUE(window.state().personalPresets.empty());

    window.setVisual(lookWithPixelSize(22));
    ASSERT_TRUE(createThroughSheet(window, "Primeiro"));
    const auto stored = PersonalPresetStore(fixture.presetsFile()).load();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].name, "Primeiro");
    EXPECT_EQ(stored[0].visual, lookWithPixelSize(22));
    EXPECT_EQ(window.state().personalPresets, stored);
}

TEST_F(PresetWindowTest, TwoWindowsCreatingInTurnKeepBothPresetsInTheFileAndInBothWindows)
{
    auto& first = openWindow();
    auto& second = openWindow();
    first.setVisual(lookWithPixelSize(5));
    second.setVisual(lookWithPixelSize(35));
    ASSERT_TRUE(createThroughSheet(first, "Da primeira"));
    ASSERT_TRUE(createThroughSheet(second, "Da segunda"));
    const auto stored = PersonalPresetStore(fixture.presetsFile()).load();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0].name, "Da segunda");
    EXPECT_EQ(stored[1].name, "Da primeira");
    EXPECT_EQ(first.state().personalPresets, stored);
    EXPECT_EQ(second.state().personalPresets, stored);

    // Saving and renaming in one window keep what the other wrote, too.
    second.setVisual(lookWithPixelSize(36));
    ASSERT_TRUE(second.saveSelectedPreset());
    first.beginRenamePreset();
    first.setPresetName("Renomeado");
    ASSERT_TRUE(first.commitNameDialog());
    const auto after = PersonalPresetStore(fixture.presetsFile()).load();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].visual.pixelSize, 36);
    EXPECT_EQ(after[1].name, "Renomeado");
    EXPECT_EQ(first.state().personalPresets, after);
    EXPECT_EQ(second.state().personalPresets, after);

    // A deletion in one window leaves the other with the same list, too.
    second.requestDeletePreset();
    ASSERT_EQ(second.state().presetPendingDeletion, after[0]);
    second.confirmDeletePreset();
    EXPECT_EQ(first.state().personalPresets, std::vector{after[1]});
    EXPECT_EQ(second.state().personalPresets, std::vector{after[1]});
    EXPECT_EQ(PersonalPresetStore(fixture.presetsFile()).load(), std::vector{after[1]});
}

TEST_F(PresetWindowTest, ImportRefusesBadDocumentsWithItsPrefixAndChangesNothing)
{
    const auto stored = presetNamed("Guardado");
    auto& window = openWindow({stored});
    const auto folder = fixture.file("documentos");
    std::filesystem::create_directories(folder);
    auto wrongKind = nlohmann::json::parse(PersonalPresetTransfer::encode(presetNamed("X")));
    wrongKind["kind"] = "other-preset";
    auto wrongVersion = wrongKind;
    wrongVersion["kind"] = "tilvane-preset";
    wrongVersion["version"] = 2;
    const std::pair<const char*, std::string> documents[] = {
        {"broken.json", "{\"kind\": \"tilvane-preset\", "},
        {"kind.json", wrongKind.dump()},
        {"version.json", wrongVersion.dump()},
        {"big.json", std::string(PersonalPresetTransfer::maximumDocumentSize + 1, ' ')},
    };
    for (const auto& [name, bytes] : documents) writeBytes(folder / name, bytes);
    const auto unreadable = folder / "locked.json";
    writeBytes(unreadable, PersonalPresetTransfer::encode(presetNamed("Trancado")));
    std::filesystem::permissions(unreadable, std::filesystem::perms::none);

    std::vector<std::filesystem::path> chosen{folder, folder / "missing.json"};
    for (const auto& [name, bytes] : documents) chosen.push_back(folder / name);
    if (::geteuid() != 0) chosen.push_back(unreadable);
    const auto storeChecksum = checksum(fixture.presetsFile());
    for (const auto& path : chosen) {
        SCOPED_TRACE(path.filename().string());
        const auto before = std::filesystem::is_regular_file(path) ? checksum(path) : QByteArray();
        window.dismissError();
        fixture.dialogs->presetToImport = path;
        window.importPersonalPreset();
        EXPECT_TRUE(startsWith(window.state().errorMessage(), importPrefix))
            << window.state().errorMessage().value_or("");
        EXPECT_EQ(window.state().personalPresets, std::vector{stored});
        EXPECT_EQ(checksum(fixture.presetsFile()), storeChecksum);
        if (!before.isEmpty()) {
            EXPECT_EQ(checksum(path), before);
        }
    }

    window.dismissError();
    fixture.dialogs->presetToImport = std::nullopt;
    window.importPersonalPreset();
    EXPECT_EQ(window.state().errorMessage(), std::nullopt) << "a cancelled panel is no failure";
}

// A document whose look holds thousands of passes would freeze the window at its card and at every start after; one
// naming an effect this version does not know would only fail later, at its preview. Import refuses both.
TEST_F(PresetWindowTest, ImportRefusesALookOfTooManyPassesAndNamesAnUnknownEffect)
{
    const auto stored = presetNamed("Guardado");
    auto& window = openWindow({stored});
    const auto documentWith = [&](std::size_t passes, const std::string& effect) {
        auto look = windowLook();
        look.shader = ShaderConfiguration{};
        for (std::size_t index = 0; index < passes; ++index) {
            look.shader->passes.emplace_back(effect, 0.5f, ShaderPass::Settings{{"scanLinesStrength", 0.2f}}, true);
        }
        return nlohmann::json{
            {"kind", "tilvane-preset"}, {"version", 1}, {"name", "Armadilha"}, {"visual", toJson(look)}}
            .dump(2);
    };
    const std::string unknown = "”, que esta versão do Tilvane não conhece.";
    const std::tuple<const char*, std::string, std::string> rows[] = {
        {"5,500 passes", documentWith(5500, "crt"),
         importPrefix + "Arquivo de presets pessoais inválido. O arquivo foi preservado."},
        {"nao-existe", documentWith(1, "nao-existe"), importPrefix + "O preset usa o efeito “nao-existe" + unknown},
        {"a path", documentWith(1, "../../etc/passwd"),
         importPrefix + "O preset usa o efeito “../../etc/passwd" + unknown},
    };
    const auto storeChecksum = checksum(fixture.presetsFile());
    for (const auto& [name, bytes, told] : rows) {
        SCOPED_TRACE(name);
        const auto document = fixture.file("armadilha.json");
        writeBytes(document, bytes);
        fixture.dialogs->presetToImport = document;
        window.importPersonalPreset();
        EXPECT_EQ(window.state().errorMessage(), told);
        window.dismissError();
        EXPECT_EQ(window.state().personalPresets, std::vector{stored});
        EXPECT_EQ(checksum(fixture.presetsFile()), storeChecksum);
    }
}

TEST_F(PresetWindowTest, ExportWritesTheSelectedPresetAndImportBringsItBackUnselected)
{
    const auto stored = presetNamed("Retro", lookWithPixelSize(18));
    auto& window = openWindow({stored});
    window.selectFromGallery(personalSelectionID(stored.id));
    const auto document = fixture.file("tilvane-preset.json");
    fixture.dialogs->presetDestination = document;
    window.exportSelectedPreset();
    EXPECT_EQ(window.state().errorMessage(), std::nullopt);

    fixture.dialogs->presetToImport = document;
    window.importPersonalPreset();
    ASSERT_EQ(window.state().personalPresets.size(), 2u);
    EXPECT_EQ(window.state().personalPresets.front().name, "Retro (2)");
    EXPECT_EQ(window.state().personalPresets.front().visual, stored.visual);
    EXPECT_EQ(window.state().shaderID, personalSelectionID(stored.id)) << "the imported preset is not selected";

    fixture.dialogs->presetDestination = fixture.file("sem-pasta") / "nested" / "x.json";
    std::filesystem::create_directories(fixture.file("sem-pasta"));
    writeBytes(fixture.file("sem-pasta") / "nested", "um arquivo no lugar da pasta");
    window.exportSelectedPreset();
    EXPECT_TRUE(startsWith(window.state().errorMessage(), exportPrefix));
}

TEST_F(PresetWindowTest, ExportPanelProposesOneJSONDocument)
{
    const auto stored = presetNamed("Retro", lookWithPixelSize(18));
    auto& window = openWindow({stored});
    window.selectFromGallery(personalSelectionID(stored.id));
    window.exportSelectedPreset();
    ASSERT_EQ(fixture.dialogs->savePanels.size(), 1u);
    EXPECT_EQ(fixture.dialogs->savePanels[0], (SavePanel{QStringLiteral("Exportar preset"), "tilvane-preset.json",
                                                         QStringLiteral("JSON (*.json)"), QStringLiteral("json")}));
    EXPECT_EQ(window.state().errorMessage(), std::nullopt) << "a cancelled panel is no failure";
}

TEST_F(PresetWindowTest, AnUnreadablePresetsFileIsReportedAndNeverTouched)
{
    const std::pair<const char*, std::string> files[] = {
        {"brokenJson", "{\"version\": 1, \"presets\": ["},
        {"version2", R"({"version": 2, "presets": []})"},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        windows.clear();
        writeBytes(fixture.presetsFile(), bytes);
        const auto before = checksum(fixture.presetsFile());
        auto& window = openWindow();
        EXPECT_TRUE(startsWith(window.state().errorMessage(), readPrefix));
        EXPECT_FALSE(window.state().presetStoreAvailable) << "create and import are disabled";
        window.setVisual(lookWithPixelSize(21));
        EXPECT_FALSE(createThroughSheet(window, "Novo"));
        EXPECT_EQ(checksum(fixture.presetsFile()), before);

        window.windowDidDisappear();
        EXPECT_EQ(checksum(fixture.presetsFile()), before) << "after the window closes";
        fixture.lifecycle.setTerminating();
        window.applicationWillTerminate();
        EXPECT_EQ(checksum(fixture.presetsFile()), before) << "after quitting";
    }
}

TEST_F(PresetWindowTest, AFailedWriteLeavesTheListTheSelectionAndTheLookUnchanged)
{
    const auto stored = presetNamed("Retro");
    auto& window = openWindow({stored});
    window.selectFromGallery(personalSelectionID(stored.id));
    window.setVisual(lookWithPixelSize(31));
    const auto before = checksum(fixture.presetsFile());
    {
        const presettesting::FileSizeLimit fullDisk(16);
        EXPECT_FALSE(window.saveSelectedPreset());
        EXPECT_FALSE(createThroughSheet(window, "Outro"));
        EXPECT_TRUE(window.state().showingNameDialog) << "a failed create keeps the sheet open";
    }
    EXPECT_TRUE(startsWith(window.state().errorMessage(), savePrefix)) << window.state().errorMessage().value_or("");
    EXPECT_EQ(window.state().personalPresets, std::vector{stored});
    EXPECT_EQ(window.state().shaderID, personalSelectionID(stored.id));
    EXPECT_EQ(window.state().visual, lookWithPixelSize(31));
    EXPECT_EQ(checksum(fixture.presetsFile()), before);
}

// Another Tilvane may be writing the presets file: a change that cannot take its turn is refused like a failed write.
TEST_F(PresetWindowTest, AChangeThatCannotLockThePresetsFileIsReportedAndChangesNothing)
{
    const auto stored = presetNamed("Retro");
    auto& window = openWindow({stored});
    window.selectFromGallery(personalSelectionID(stored.id));
    window.setVisual(lookWithPixelSize(31));
    const auto lock = StoreLock::lockFileFor(fixture.presetsFile());
    std::filesystem::remove(lock);
    std::filesystem::create_directory(lock);
    const auto document = fixture.file("tilvane-preset.json");
    writeBytes(document, PersonalPresetTransfer::encode(presetNamed("Importado")));
    fixture.dialogs->presetToImport = document;
    const auto before = checksum(fixture.presetsFile());

    const std::tuple<const char*, std::function<void()>, std::string> changes[] = {
        {"save", [&] { EXPECT_FALSE(window.saveSelectedPreset()); }, savePrefix},
        {"create", [&] { EXPECT_FALSE(createThroughSheet(window, "Outro")); }, savePrefix},
        {"rename",
         [&] {
             window.beginRenamePreset();
             window.setPresetName("Renomeado");
             EXPECT_FALSE(window.commitNameDialog());
         },
         savePrefix},
        {"delete",
         [&] {
             window.requestDeletePreset();
             window.confirmDeletePreset();
         },
         deletePrefix},
        {"import", [&] { window.importPersonalPreset(); }, importPrefix},
    };
    for (const auto& [name, change, prefix] : changes) {
        SCOPED_TRACE(name);
        window.dismissError();
        change();
        EXPECT_TRUE(startsWith(window.state().errorMessage(), prefix + "Não foi possível bloquear o arquivo"))
            << window.state().errorMessage().value_or("");
        EXPECT_EQ(window.state().personalPresets, std::vector{stored});
        EXPECT_EQ(window.state().shaderID, personalSelectionID(stored.id));
        EXPECT_EQ(window.state().visual, lookWithPixelSize(31));
        EXPECT_EQ(checksum(fixture.presetsFile()), before);
    }
}

}  // namespace
}  // namespace tilvane::testing
