#include "Tilvane/Editor/EditorPresentation.hpp"

namespace tilvane {

namespace editor_presentation {

namespace {
const QString exportingTitle = QStringLiteral("Exportando…");
}  // namespace

QString subtitle(const ContentViewState& state)
{
    const QString name = QString::fromStdString(state.sourceName);
    if (state.source) {
        return name + QStringLiteral(" · %1 × %2 px").arg(state.source->width()).arg(state.source->height());
    }
    // A file that could not be read leaves its name behind; only a read under way shows it.
    if (name.isEmpty() || !state.isProcessing) return QStringLiteral("Abra ou arraste uma imagem para começar");
    return QStringLiteral("Abrindo ") + name + QStringLiteral("…");
}

std::optional<QString> statusChip(const ContentViewState& state)
{
    if (state.isProcessing && state.source) return QStringLiteral("convertendo");
    if (state.isShaderProcessing) return QStringLiteral("aplicando shader");
    return std::nullopt;
}

bool exportsDisabled(const ContentViewState& state)
{
    return !state.pixelGrid || state.isProcessing || state.isShaderProcessing || state.isExporting;
}

QString exportTitle(const ContentViewState& state, const QString& idleTitle)
{
    return state.isExporting ? exportingTitle : idleTitle;
}

QStringList exportTitles(const QString& idleTitle)
{
    return {idleTitle, exportingTitle};
}

VTAppearance toggledAppearance(VTAppearance appearance)
{
    return appearance == VTAppearance::vemi ? VTAppearance::noite : VTAppearance::vemi;
}

QString themeButtonLabel(VTAppearance appearance)
{
    return appearance == VTAppearance::vemi ? QStringLiteral("Noite") : QStringLiteral("Vemi");
}

ImagePointer comparisonResult(const ContentViewState& state)
{
    return state.shaderImage ? state.shaderImage : state.pixelGrid;
}

std::optional<QString> loadingName(const ContentViewState& state)
{
    if (!state.isProcessing || state.source) return std::nullopt;
    return QString::fromStdString(state.sourceName);
}

}  // namespace editor_presentation

}  // namespace tilvane
