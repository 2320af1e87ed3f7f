#include "Tilvane/Views/ExportActions.hpp"

#include "Tilvane/Editor/ContentView.hpp"
#include "Tilvane/Editor/EditorPresentation.hpp"

#include <QAction>

namespace tilvane {

void bindExportActions(ContentView& window, QAction* exportPNG, QAction* exportGIF)
{
    QObject::connect(exportPNG, &QAction::triggered, &window, [&window] { window.exportPNG(); });
    QObject::connect(exportGIF, &QAction::triggered, &window, [&window] { window.exportGIF(); });
}

void drawExportActions(const ContentViewState& state, QAction* exportPNG, QAction* exportGIF)
{
    for (const auto& [action, title] :
         {std::pair{exportPNG, QStringLiteral("Exportar PNG")}, std::pair{exportGIF, QStringLiteral("Exportar GIF")}}) {
        action->setEnabled(!editor_presentation::exportsDisabled(state));
        action->setText(editor_presentation::exportTitle(state, title));
    }
}

}  // namespace tilvane
