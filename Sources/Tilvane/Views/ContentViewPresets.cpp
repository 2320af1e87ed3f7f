#include "Tilvane/Views/ContentView.hpp"

#include <exception>

namespace tilvane {

std::optional<Uuid> ContentView::personalID() const
{
    return std::nullopt;
}

std::optional<PersonalPreset> ContentView::selectedPersonalPreset() const
{
    return std::nullopt;
}

bool ContentView::hasUnsavedChanges() const
{
    return false;
}

void ContentView::applySelection(std::optional<std::string> id)
{
    setShaderID(std::move(id));
}

void ContentView::selectFromGallery(std::optional<std::string> id)
{
    applySelection(std::move(id));
}

bool ContentView::saveSelectedPreset()
{
    return false;
}

bool ContentView::commitNameDialog()
{
    return false;
}

bool ContentView::persist(std::vector<PersonalPreset>)
{
    return false;
}

void ContentView::loadPersonalPresets()
{
    try {
        assign<&ContentViewState::personalPresets>(services_.presetStore.load());
        assign<&ContentViewState::presetStoreAvailable>(true);
    } catch (const std::exception& error) {
        setErrorMessage(error.what());
    }
}

void ContentView::deletePreset(const Uuid&) {}

void ContentView::exportSelectedPreset() {}

void ContentView::importPersonalPreset() {}

}  // namespace tilvane
