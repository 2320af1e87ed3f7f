#include "Tilvane/Views/FileDialogs.hpp"

#include "Tilvane/Views/GIFExportOptions.hpp"

#include <QApplication>
#include <QFile>
#include <QFileDialog>

namespace tilvane {

namespace {

std::optional<std::filesystem::path> chosenPath(const QString& file)
{
    if (file.isEmpty()) return std::nullopt;
    return std::filesystem::path(QFile::encodeName(file).toStdString());
}

std::optional<std::filesystem::path> chooseSaveDestination(const SavePanel& panel)
{
    const std::unique_ptr<QFileDialog> dialog(makeSaveDialog(QApplication::activeWindow(), panel));
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    return chosenPath(dialog->selectedFiles().value(0));
}

}  // namespace

QFileDialog* makeSaveDialog(QWidget* parent, const SavePanel& panel)
{
    auto* dialog = new QFileDialog(parent, panel.title);
    dialog->setObjectName(QStringLiteral("savePanel"));
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(panel.nameFilter);
    dialog->setDefaultSuffix(panel.defaultSuffix);
    if (panel.proposedFile.has_parent_path()) {
        dialog->setDirectory(QFile::decodeName(panel.proposedFile.parent_path().c_str()));
    }
    dialog->selectFile(QFile::decodeName(panel.proposedFile.filename().c_str()));
    return dialog;
}

std::optional<std::filesystem::path> FileDialogs::chooseImageToOpen()
{
    return chosenPath(QFileDialog::getOpenFileName(
        QApplication::activeWindow(), QString(), QString(),
        QStringLiteral("Imagens (*.png *.jpg *.jpeg *.gif *.webp *.tif *.tiff *.heic *.heif *.avif)")));
}

std::optional<std::filesystem::path> FileDialogs::choosePresetToImport()
{
    return chosenPath(QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), QString(),
                                                   QStringLiteral("JSON (*.json)")));
}

std::optional<std::filesystem::path> FileDialogs::choosePresetDestination(const SavePanel& panel)
{
    return chooseSaveDestination(panel);
}

std::optional<std::filesystem::path> FileDialogs::choosePNGDestination(const SavePanel& panel)
{
    return chooseSaveDestination(panel);
}

GIFDestination FileDialogs::chooseGIFDestination(const SavePanel& panel, int maxDimension, int duration,
                                                 const GIFDialogContext& context)
{
    const std::unique_ptr<QFileDialog> dialog(makeSaveDialog(QApplication::activeWindow(), panel));
    const GIFExportOptions* options =
        addGIFExportOptions(dialog.get(), context.sourceWidth, context.sourceHeight, context.animated,
                            {maxDimension, duration}, context.appearance);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    const GIFExportChoice choice = options->choice();
    return {accepted ? chosenPath(dialog->selectedFiles().value(0)) : std::nullopt, choice.maxDimension,
            choice.duration};
}

}  // namespace tilvane
