#pragma once

#include <QScrollArea>

#include "Tilvane/Editor/PersonalPresetRules.hpp"
#include "Tilvane/Views/ColorPicker.hpp"
#include "TilvanePresets/PersonalPreset.hpp"
#include "TilvanePresets/VisualSettings.hpp"
#include "TilvaneShaders/Model/ShaderPreset.hpp"

#include <array>
#include <optional>
#include <string>

namespace tilvane {

class ScrollAnchor;
class ShaderInspector;

class DitherPanel;
class ImageAdjustmentsPanel;
class PalettePanel;
class PixelSizePanel;
class PresetPanel;
class ScreenPanel;
class VisualPanel;
class WorkingSizePanel;

// Everything of the editor window the inspector column shows.
struct InspectorValues {
    VisualSettings visual;
    PresetSelection shaderID;
    int maxDimension = 2048;
    std::optional<PersonalPreset> selectedPersonalPreset;
    bool hasUnsavedChanges = false;
    bool presetStoreAvailable = false;
    bool reduceMotion = false;

    friend bool operator==(const InspectorValues&, const InspectorValues&) = default;
};

// The panel a new selection scrolls to: the screen effects without a shader, the personal presets for
// a personal preset, else the shader inspector.
enum class InspectorScrollTarget { shaderControls, personalPresetControls, screenControls };
InspectorScrollTarget scrollTargetFor(const PresetSelection& shaderID);

// The editor's right-hand column: the shader inspector, then "Visual", "Pixel", "Seus presets",
// "Imagem", "Dither", "Tela" and "Trabalho" in one vertical scroll area. setValues() shows the
// window's state without emitting; each edit emits the whole look with one field changed. When the
// selection changes the column brings the matching panel to its top once the new layout has settled. When a rebuilt
// shader inspector hands the keyboard's focus on, or the focus leaves a deleted preset's buttons for "+", the column
// keeps the focused control in view, the matching panel going only as near the top as that allows.
class InspectorPanel : public QScrollArea {
    Q_OBJECT
public:
    static constexpr int width = 300;

    // `builtInPresets` are the model's, handed on to the shader inspector.
    explicit InspectorPanel(std::vector<ShaderPreset> builtInPresets, ColorPicker picker = systemColorPicker(),
                            QWidget* parent = nullptr);

    void setValues(const InspectorValues& values);

    PresetPanel* presetPanel() const { return presets_; }

signals:
    void visualEdited(const VisualSettings& visual);
    void maxDimensionEdited(int maxDimension);
    // The shader inspector's remove button; the window decides what it does.
    void removeShaderRequested();
    // The shader inspector made its controls anew on its own.
    void controlsRebuilt();

private:
    void display(const InspectorValues& values);
    QWidget* scrollTarget(InspectorScrollTarget target) const;

    InspectorValues values_;
    bool received_ = false;
    ScrollAnchor* anchor_;
    ShaderInspector* shader_;
    PalettePanel* palette_;
    PixelSizePanel* pixelSize_;
    PresetPanel* presets_;
    ImageAdjustmentsPanel* adjustments_;
    DitherPanel* dither_;
    ScreenPanel* screen_;
    WorkingSizePanel* workingSize_;
    std::array<VisualPanel*, 5> visualPanels_{};
};

}  // namespace tilvane
