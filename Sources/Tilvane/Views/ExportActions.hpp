#pragma once

class QAction;

namespace tilvane {

class ContentView;
struct ContentViewState;

// The two export commands of a window. Each command is one QAction shared by its menu item, its button and its
// shortcut: it runs the export, is enabled only while an export can start (a pixel grid, and nothing loading,
// converting, rendering or exporting) and reads "Exportando…" while one runs.

// Makes the commands run the window's exports.
void bindExportActions(ContentView& window, QAction* exportPNG, QAction* exportGIF);
// Draws the commands from the window's state; the window calls it with the rest of its redraw.
void drawExportActions(const ContentViewState& state, QAction* exportPNG, QAction* exportGIF);

}  // namespace tilvane
