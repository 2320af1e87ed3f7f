#include "Tilvane/Views/ExportActions.hpp"

#include "Tilvane/Views/ContentView.hpp"

#include <QAction>

namespace tilvane {

bool canExport(const ContentViewState& state)
{
    return state.pixelGrid && !state.isProcessing && !state.isShaderProcessing && !state.isExporting;
}

namespace {

void refresh(const ContentViewState& state, QAction* action, const QString& title)
{
    action->setEnabled(canExport(state));
    action->setText(state.isExporting ? QStringLiteral("Exportando…") : title);
}

}  // namespace

void bindExportActions(ContentView& window, QAction* exportPNG, QAction* exportGIF)
{
    const QString pngTitle = QStringLiteral("Exportar PNG");
    const QString gifTitle = QStringLiteral("Exportar GIF");
    exportPNG->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    exportGIF->setShortcut(QKeySequence(QStringLiteral("Ctrl+G")));
    QObject::connect(exportPNG, &QAction::triggered, &window, [&window] { window.exportPNG(); });
    QObject::connect(exportGIF, &QAction::triggered, &window, [&window] { window.exportGIF(); });
    const auto update = [&window, exportPNG, exportGIF, pngTitle, gifTitle] {
        refresh(window.state(), exportPNG, pngTitle);
        refresh(window.state(), exportGIF, gifTitle);
    };
    QObject::connect(&window, &ContentView::changed, exportPNG, update);
    update();
}

}  // namespace tilvane
