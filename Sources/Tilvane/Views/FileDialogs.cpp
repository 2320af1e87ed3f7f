#include "Tilvane/Views/FileDialogs.hpp"

#include "Tilvane/Views/GIFExportOptions.hpp"
#include "Tilvane/Views/GuardedDialog.hpp"

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

std::optional<std::filesystem::path> chosenFile(const QFileDialog& dialog, bool accepted)
{
    return accepted ? chosenPath(dialog.selectedFiles().value(0)) : std::nullopt;
}

std::optional<std::filesystem::path> chooseFile(QFileDialog* dialog)
{
    return runGuardedDialog(dialog, chosenFile, std::optional<std::filesystem::path>());
}

QFileDialog* makeOpenDialog(const QString& nameFilter)
{
    auto* dialog = new QFileDialog(QApplication::activeWindow(), QString(), QString(), nameFilter);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    return dialog;
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
    return chooseFile(
        makeOpenDialog(QStringLiteral("Imagens (*.png *.jpg *.jpeg *.gif *.webp *.tif *.tiff *.heic *.heif *.avif)")));
}

std::optional<std::filesystem::path> FileDialogs::choosePresetToImport()
{
    return chooseFile(makeOpenDialog(QStringLiteral("JSON (*.json)")));
}

std::optional<std::filesystem::path> FileDialogs::choosePresetDestination(const SavePanel& panel)
{
    return chooseFile(makeSaveDialog(QApplication::activeWindow(), panel));
}

std::optional<std::filesystem::path> FileDialogs::choosePNGDestination(const SavePanel& panel)
{
    return chooseFile(makeSaveDialog(QApplication::activeWindow(), panel));
}

GIFDestination FileDialogs::chooseGIFDestination(const SavePanel& panel, int maxDimension, int duration,
                                                 const GIFDialogContext& context)
{
    QFileDialog* dialog = makeSaveDialog(QApplication::activeWindow(), panel);
    const GIFExportOptions* options =
        addGIFExportOptions(dialog, context.sourceWidth, context.sourceHeight, context.animated,
                            {maxDimension, duration}, context.appearance);
    return runGuardedDialog(
        dialog,
        [options](const QFileDialog& shown, bool accepted) {
            const GIFExportChoice choice = options->choice();
            return GIFDestination{chosenFile(shown, accepted), choice.maxDimension, choice.duration};
        },
        GIFDestination{std::nullopt, maxDimension, duration});
}

}  // namespace tilvane
