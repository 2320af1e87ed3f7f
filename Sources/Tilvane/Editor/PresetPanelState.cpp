#include "Tilvane/Editor/PresetPanelState.hpp"

namespace tilvane {

PresetButtonRules presetButtonRules(const PresetPanelState& state)
{
    const bool selected = state.selected.has_value();
    return {
        .selectionButtonsShown = selected,
        .createEnabled = state.storeAvailable,
        .saveEnabled = selected && state.hasUnsavedChanges && state.storeAvailable,
        .restoreEnabled = selected && state.hasUnsavedChanges,
        .importEnabled = state.storeAvailable,
        .exportEnabled = selected && !state.hasUnsavedChanges,
    };
}

}  // namespace tilvane
