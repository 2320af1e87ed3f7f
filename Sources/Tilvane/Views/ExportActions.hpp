#pragma once

class QAction;

namespace tilvane {

class ContentView;
struct ContentViewState;

// Whether the export commands can run: a pixel grid exists and nothing loads, converts, renders or exports.
bool canExport(const ContentViewState& state);

// Wires the two export commands of a window. Each command is one QAction shared by its menu item, its
// button and its shortcut (Ctrl+E, Ctrl+G): it runs the export, is enabled only while canExport() holds
// and reads "Exportando…" while an export runs.
void bindExportActions(ContentView& window, QAction* exportPNG, QAction* exportGIF);

}  // namespace tilvane
