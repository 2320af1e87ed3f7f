#pragma once

#include "VemiTerminal/Components/VTWindow.hpp"

#include "Tilvane/Editor/PresetPanelState.hpp"

#include <array>

class VTChip;

namespace tilvane {

class WrappedText;
class PresetActionButton;

// "Seus presets": the selected personal preset's name with a "rascunho" chip while the look differs
// from it, and the buttons that create, save, rename, restore, delete, import and export presets.
// The panel only asks; the window does the work. When the selected preset's buttons go (it was deleted) while the
// focus is on one of them, the focus goes to "+", which takes their place, as the keyboard or a click had it.
class PresetPanel : public VTWindow {
    Q_OBJECT
public:
    explicit PresetPanel(QWidget* parent = nullptr);

    // Shows the state without emitting.
    void setState(const PresetPanelState& state);

signals:
    void createRequested();
    void saveRequested();
    void renameRequested();
    void restoreRequested();
    void deleteRequested();
    void importRequested();
    void exportRequested();
    // The focus was on a button that went away with the selected preset, and went on to `control`.
    void focusMoved(QWidget* control);

private:
    // The buttons about the selected preset, shown only while there is one.
    std::array<PresetActionButton*, 5> selectionButtons() const { return {save_, rename_, restore_, delete_, export_}; }
    void moveFocusOffSelectionButtons();

    PresetActionButton* addButton(const QString& title, const QString& symbol, const char* name,
                                  void (PresetPanel::*request)());

    QWidget* nameRow_;
    WrappedText* name_;
    VTChip* draft_;
    PresetActionButton* create_;
    PresetActionButton* save_;
    PresetActionButton* rename_;
    PresetActionButton* restore_;
    PresetActionButton* delete_;
    PresetActionButton* import_;
    PresetActionButton* export_;
};

}  // namespace tilvane
