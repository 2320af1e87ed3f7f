#pragma once

#include "Tilvane/Editor/ContentViewState.hpp"

#include <QString>
#include <QStringList>

#include <optional>

namespace tilvane {

// What the window's bar and stage show for a state: pure functions of the state.
namespace editor_presentation {

// "Abra ou arraste uma imagem para começar", "<name> · <w> × <h> px", or "Abrindo <name>…" while it opens.
QString subtitle(const ContentViewState& state);
// "convertendo" while a loaded picture converts, else "aplicando shader" while the shader renders, else none.
std::optional<QString> statusChip(const ContentViewState& state);
// No grid yet, or a load, conversion, shader render or export running.
bool exportsDisabled(const ContentViewState& state);
// "Exportando…" while an export runs, else `idleTitle`.
QString exportTitle(const ContentViewState& state, const QString& idleTitle);
// Every label an export button shows over time, for a button as wide as the widest of them.
QStringList exportTitles(const QString& idleTitle);
// The theme the theme button switches to, and its label (named after that theme).
VTAppearance toggledAppearance(VTAppearance appearance);
QString themeButtonLabel(VTAppearance appearance);
// The result the comparison shows: the shader preview when there is one, else the pixel grid.
ImagePointer comparisonResult(const ContentViewState& state);
// The name of the file being read, while it is read.
std::optional<QString> loadingName(const ContentViewState& state);

}  // namespace editor_presentation

}  // namespace tilvane
