#pragma once

class QAction;

namespace tilvane {

class ContentView;

// Wires the two export commands of a window. Each command is one QAction shared by its menu item, its
// button and its shortcut: it runs the export, is enabled only while an export can start (a pixel grid,
// and nothing loading, converting, rendering or exporting) and reads "Exportando…" while one runs.
void bindExportActions(ContentView& window, QAction* exportPNG, QAction* exportGIF);

}  // namespace tilvane
