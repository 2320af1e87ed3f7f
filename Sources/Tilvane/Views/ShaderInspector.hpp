#pragma once

#include "Tilvane/Editor/PersonalPresetRules.hpp"
#include "Tilvane/Views/ColorPicker.hpp"
#include "Tilvane/Views/ShaderConfigurationBinding.hpp"

#include "TilvanePresets/PersonalPreset.hpp"
#include "TilvaneShaders/Model/ShaderPreset.hpp"

#include <QPointer>
#include <QWidget>
#include <optional>
#include <set>
#include <vector>

class QVBoxLayout;
class VTChip;

namespace tilvane {

// Edits the screen shader of the current look: the "Shader" window (preset name, "ajustado", animation, restore,
// one row per pass with its intensity and parameters) and the "Moldura" window. It shows nothing without a
// configuration or without a preset to compare with. Every edit is reported as the whole new configuration; a
// configuration handed back refreshes the controls in place, and only a change of passes, expanded rows, bezel
// on/off or preset rebuilds them, so a drag stays one drag. Focus on a control that a rebuild replaces goes to its
// replacement, or to the next control of the column when the inspector shows nothing any more.
class ShaderInspector : public QWidget {
    Q_OBJECT
public:
    // `builtInPresets` are the ones a selection is looked up in, the model's list.
    explicit ShaderInspector(std::vector<ShaderPreset> builtInPresets, ColorPicker picker = systemColorPicker(),
                             QWidget* parent = nullptr);

    void setPresetID(const PresetSelection& presetID);
    void setPersonalPreset(const std::optional<PersonalPreset>& preset);
    void setConfiguration(const std::optional<ShaderConfiguration>& configuration);
    // The system's reduce-motion setting, handed in by the window.
    void setReduceMotion(bool reduceMotion);

    const std::optional<ShaderConfiguration>& configuration() const { return binding_.current(); }
    bool isShowingContent() const { return content_ != nullptr; }
    bool isAdjusted() const;
    const std::set<int>& expandedPasses() const { return expanded_; }

    // The display name of an effect id ("crt" → "CRT"); an unknown id is shown as it is.
    static QString effectName(const std::string& effect);

signals:
    void configurationEdited(const ShaderConfiguration& configuration);
    void restorePersonalRequested(const VisualSettings& visual);
    void removeRequested();
    // The controls were made anew (rows expanded or collapsed, passes, bezel or preset changed, shown or gone).
    void controlsRebuilt();
    // The keyboard's focus was on a control that the rebuild replaced or removed, and went on to `control`.
    void keyboardFocusMoved(QWidget* control);

protected:
    bool event(QEvent* event) override;

private:
    // What decides which children exist.
    struct Structure {
        std::string presetID;
        std::string presetName;
        std::vector<std::pair<Uuid, std::string>> passes;
        std::set<int> expanded;
        bool bezelOn;
        friend bool operator==(const Structure&, const Structure&) = default;
    };

    std::optional<Structure> structure() const;
    void follow();
    void rebuild();
    void refreshMarks();
    void showOnlyWithContent();
    void commit(const ShaderConfiguration& configuration);
    void restore();
    void toggleExpanded(int index);

    QWidget* shaderWindow(const ShaderPreset& preset);
    QWidget* passRow(const ShaderPass& pass, int index);
    QWidget* bezelWindow(const BezelSettings& bezel);

    std::vector<ShaderPreset> builtIns_;
    ColorPicker picker_;
    ShaderConfigurationBinding binding_;
    PresetSelection presetID_;
    std::optional<PersonalPreset> personal_;
    bool reduceMotion_ = false;
    std::set<int> expanded_{0};
    std::optional<ShaderPreset> preset_;

    std::optional<Structure> built_;
    QVBoxLayout* layout_;
    QPointer<QWidget> content_;
    QPointer<VTChip> adjustedChip_;
    QPointer<QWidget> motionNote_;
};

}  // namespace tilvane
