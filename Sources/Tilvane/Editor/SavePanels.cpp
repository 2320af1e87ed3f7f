#include "Tilvane/Editor/SavePanels.hpp"

#include "TilvanePresets/PersonalPresetTransfer.hpp"

namespace tilvane {

namespace {

SavePanel singleTypePanel(const char* title, std::filesystem::path proposedFile, const char* extension)
{
    const QString suffix = QLatin1String(extension);
    return {QString::fromUtf8(title), std::move(proposedFile),
            QStringLiteral("%1 (*.%2)").arg(suffix.toUpper(), suffix), suffix};
}

std::filesystem::path withExtension(std::filesystem::path stem, const char* extension)
{
    return stem += std::string(".") + extension;
}

}  // namespace

SavePanel pngSavePanel(std::filesystem::path proposedStem)
{
    return singleTypePanel("Exportar PNG", withExtension(std::move(proposedStem), "png"), "png");
}

SavePanel gifSavePanel(std::filesystem::path proposedStem)
{
    return singleTypePanel("Exportar GIF", withExtension(std::move(proposedStem), "gif"), "gif");
}

SavePanel presetSavePanel()
{
    return singleTypePanel("Exportar preset", std::string(PersonalPresetTransfer::defaultFileName), "json");
}

}  // namespace tilvane
