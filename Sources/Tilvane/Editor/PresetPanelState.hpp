#pragma once

#include "TilvanePresets/PersonalPreset.hpp"

#include <optional>

namespace tilvane {

// What the "Seus presets" panel shows: the selected personal preset, whether the look differs from
// it, and whether the presets file could be read.
struct PresetPanelState {
    std::optional<PersonalPreset> selected;
    bool hasUnsavedChanges = false;
    bool storeAvailable = false;

    friend bool operator==(const PresetPanelState&, const PresetPanelState&) = default;
};

// Which of the panel's seven buttons are shown and which can be pressed. The four buttons about the
// selected preset and the export are shown only while a personal preset is selected.
struct PresetButtonRules {
    bool selectionButtonsShown = false;
    bool createEnabled = false;
    bool saveEnabled = false;
    bool restoreEnabled = false;
    bool importEnabled = false;
    bool exportEnabled = false;

    friend bool operator==(const PresetButtonRules&, const PresetButtonRules&) = default;
};

PresetButtonRules presetButtonRules(const PresetPanelState& state);

}  // namespace tilvane
