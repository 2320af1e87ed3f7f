#pragma once

#include <QWidget>

namespace tilvane {

class ContentView;
class InspectorPanel;

// The column at the right of the stage, 300 wide on the page background, that holds the inspector's panels.
class InspectorColumn : public QWidget {
    Q_OBJECT

public:
    static constexpr int columnWidth = 300;

    explicit InspectorColumn(ContentView& view, QWidget* parent = nullptr);

    // Redraws the panels from the window's state.
    void refresh();

signals:
    // Controls of the column were made anew between two refreshes.
    void controlsRebuilt();

private:
    ContentView& view_;
    InspectorPanel* panel_;
};

}  // namespace tilvane
