#include "Tilvane/Editor/ContentView.hpp"

#include "Tilvane/Editor/PersonalPresetBroadcast.hpp"
#include "Tilvane/Editor/PersonalPresetRules.hpp"
#include "Tilvane/Services/PresetDocumentFile.hpp"
#include "TilvaneShaders/Model/ShaderPreset.hpp"

#include <exception>

namespace tilvane {
namespace {

constexpr std::string_view readFailure = "Não foi possível ler os presets pessoais: ";
constexpr std::string_view saveFailure = "Não foi possível salvar os presets pessoais: ";
constexpr std::string_view deleteFailure = "Não foi possível excluir o preset: ";
constexpr std::string_view exportFailure = "Não foi possível exportar o preset: ";
constexpr std::string_view importFailure = "Não foi possível importar o preset: ";

std::string failure(std::string_view prefix, const std::exception& error)
{
    return std::string(prefix) + error.what();
}

}  // namespace

// ---- Selection ----------------------------------------------------------------------------------

std::optional<Uuid> ContentView::personalID() const
{
    return personalPresetID(state_.shaderID);
}

std::optional<PersonalPreset> ContentView::selectedPersonalPreset() const
{
    return tilvane::selectedPersonalPreset(state_.personalPresets, state_.shaderID);
}

bool ContentView::hasUnsavedChanges() const
{
    return tilvane::hasUnsavedChanges(selectedPersonalPreset(), state_.visual);
}

void ContentView::applySelection(PresetSelection id)
{
    setShaderID(id);
    setVisual(visualForSelection(id, state_.visual, state_.personalPresets, builtInPresets()));
}

void ContentView::selectFromGallery(PresetSelection id)
{
    switch (gallerySelectionStep(state_.shaderID, id, hasUnsavedChanges())) {
    case SelectionStep::keep:
        return;
    case SelectionStep::askAboutUnsavedChanges:
        return askAboutUnsavedChanges(std::move(id));
    case SelectionStep::apply:
        return applySelection(std::move(id));
    }
}

void ContentView::removeShader()
{
    switch (shaderRemovalStep(state_.shaderID, hasUnsavedChanges())) {
    case SelectionStep::keep:
        return;
    case SelectionStep::askAboutUnsavedChanges:
        return askAboutUnsavedChanges(std::nullopt);
    case SelectionStep::apply:
        return applySelection(std::nullopt);
    }
}

void ContentView::askAboutUnsavedChanges(PresetSelection pending)
{
    assign<&ContentViewState::pendingSelection>(std::move(pending));
    assign<&ContentViewState::showingUnsavedAlert>(true);
}

// ---- The preset list and its file ---------------------------------------------------------------

void ContentView::loadPersonalPresets()
{
    try {
        auto presets = services_.presetStore.load();
        assign<&ContentViewState::presetStoreAvailable>(true);
        adoptPersonalPresets(std::move(presets));
    } catch (const std::exception& error) {
        assign<&ContentViewState::presetStoreAvailable>(false);
        queueErrorMessage(failure(readFailure, error));
        return;
    }
    // From now on a list written by any window of the process shows here too.
    connect(&PersonalPresetBroadcast::shared(), &PersonalPresetBroadcast::listWritten, this,
            [this](const std::string& file, const std::vector<PersonalPreset>& presets) {
                if (file == services_.presetStore.fileURL().string()) adoptPersonalPresets(presets);
            });
}

void ContentView::adoptPersonalPresets(std::vector<PersonalPreset> presets)
{
    if (assign<&ContentViewState::personalPresets>(std::move(presets))) generatePersonalThumbnails();
}

void ContentView::announceWrittenList(std::vector<PersonalPreset> presets)
{
    adoptPersonalPresets(presets);
    PersonalPresetBroadcast::shared().publish(services_.presetStore.fileURL().string(), presets);
}

void ContentView::showStoredPresets()
{
    try {
        announceWrittenList(services_.presetStore.load());
    } catch (const std::exception&) {
        // The file cannot be read now: the list shown stays, and the failure that led here has been told.
    }
}

bool ContentView::persistChange(
    const std::function<std::optional<std::vector<PersonalPreset>>(std::vector<PersonalPreset>)>& change)
{
    // Applied to the file as it is in the store's turn, so that what another window or process wrote is kept.
    std::vector<PersonalPreset> written;
    try {
        written = services_.presetStore.update([&](std::vector<PersonalPreset> presets) {
            auto changed = change(std::move(presets));
            if (!changed) throw PersonalPresetError(PersonalPresetErrorCase::missingPreset);
            return std::move(*changed);
        });
    } catch (const std::exception& error) {
        queueErrorMessage(failure(saveFailure, error));
        return false;
    }
    announceWrittenList(std::move(written));
    return true;
}

// ---- Saving, naming, restoring, deleting --------------------------------------------------------

bool ContentView::saveSelectedPreset()
{
    const auto selected = selectedPersonalPreset();
    if (!selected) return false;
    return persistChange([&](std::vector<PersonalPreset> presets) {
        return withPresetVisual(std::move(presets), selected->id, state_.visual);
    });
}

void ContentView::beginCreatePreset()
{
    assign<&ContentViewState::presetName>(std::string());
    assign<&ContentViewState::nameDialogMode>(NameDialogMode::create);
    assign<&ContentViewState::showingNameDialog>(true);
}

void ContentView::beginRenamePreset()
{
    const auto selected = selectedPersonalPreset();
    if (!selected) return;
    assign<&ContentViewState::presetName>(selected->name);
    assign<&ContentViewState::nameDialogMode>(NameDialogMode::rename);
    assign<&ContentViewState::showingNameDialog>(true);
}

void ContentView::setPresetName(std::string name)
{
    assign<&ContentViewState::presetName>(std::move(name));
}

void ContentView::cancelNameDialog()
{
    assign<&ContentViewState::showingNameDialog>(false);
}

bool ContentView::commitNameDialog()
{
    const auto name = acceptedPresetName(state_.presetName);
    if (!name) return false;
    bool committed = false;
    if (state_.nameDialogMode == NameDialogMode::create) {
        PersonalPreset created{Uuid::random(), *name, state_.visual};
        const auto selection = personalSelectionID(created.id);
        committed = persistChange([&](std::vector<PersonalPreset> presets) {
            return std::optional(withPresetFirst(std::move(presets), std::move(created)));
        });
        if (committed) setShaderID(selection);
    } else {
        const auto selected = selectedPersonalPreset();
        if (!selected) return false;
        committed = persistChange([&](std::vector<PersonalPreset> presets) {
            return withPresetName(std::move(presets), selected->id, *name);
        });
    }
    if (committed) assign<&ContentViewState::showingNameDialog>(false);
    return committed;
}

void ContentView::restoreSavedPreset()
{
    if (const auto selected = selectedPersonalPreset()) setVisual(selected->visual);
}

void ContentView::requestDeletePreset()
{
    const auto selected = selectedPersonalPreset();
    if (!selected) return;
    assign<&ContentViewState::presetPendingDeletion>(selected);
    assign<&ContentViewState::showingDeleteAlert>(true);
}

void ContentView::confirmDeletePreset()
{
    assign<&ContentViewState::showingDeleteAlert>(false);
    if (const auto pending = state_.presetPendingDeletion) {
        deletePreset(pending->id);
    } else {
        assign<&ContentViewState::presetPendingDeletion>(std::nullopt);
    }
}

void ContentView::cancelDeletePreset()
{
    assign<&ContentViewState::showingDeleteAlert>(false);
    assign<&ContentViewState::presetPendingDeletion>(std::nullopt);
}

void ContentView::deletePreset(const Uuid& id)
{
    try {
        auto remaining = services_.presetStore.remove(id);
        announceWrittenList(std::move(remaining));
        if (personalID() == id) {
            setShaderID(std::nullopt);
            auto visual = state_.visual;
            visual.shader.reset();
            setVisual(std::move(visual));
        }
    } catch (const std::exception& error) {
        queueErrorMessage(failure(deleteFailure, error));
        // Another Tilvane may have deleted the preset first, or changed the list otherwise: show it as it is.
        showStoredPresets();
    }
    assign<&ContentViewState::presetPendingDeletion>(std::nullopt);
}

// ---- Transfer documents -------------------------------------------------------------------------

void ContentView::exportSelectedPreset()
{
    const auto selected = selectedPersonalPreset();
    if (!selected) return;
    const auto destination =
        waitForUser([this] { return services_.dialogs->choosePresetDestination(presetSavePanel()); });
    if (!destination) return;
    try {
        writePresetDocument(*destination, *selected);
    } catch (const std::exception& error) {
        queueErrorMessage(failure(exportFailure, error));
    }
}

void ContentView::importPersonalPreset()
{
    const auto chosen = waitForUser([this] { return services_.dialogs->choosePresetToImport(); });
    if (!chosen) return;
    try {
        const auto document = readPresetDocument(*chosen);
        announceWrittenList(services_.presetStore.importPreset(document));
    } catch (const std::exception& error) {
        queueErrorMessage(failure(importFailure, error));
    }
}

}  // namespace tilvane
