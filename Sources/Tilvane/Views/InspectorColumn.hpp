#pragma once

#include <QWidget>

namespace tilvane {
class ContentView;
class InspectorPanel;
class PresetSheets;
}  // namespace tilvane

// The column at the right of the stage, 300 wide on the page background, that holds the inspector's panels
// and presents the personal-preset dialogs.
class InspectorColumn : public QWidget {
    Q_OBJECT

public:
    static constexpr int columnWidth = 300;

    explicit InspectorColumn(tilvane::ContentView& view, QWidget* parent = nullptr);

    // Redraws the panels from the window's state and opens or closes the preset dialogs to match it.
    void refresh();

private:
    tilvane::ContentView& view_;
    tilvane::InspectorPanel* panel_;
    tilvane::PresetSheets* sheets_ = nullptr;
};
