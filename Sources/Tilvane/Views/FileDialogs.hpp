#pragma once

#include "Tilvane/Editor/EditorServices.hpp"
#include "Tilvane/Editor/SavePanels.hpp"

class QFileDialog;
class QWidget;

namespace tilvane {

// The panel as a (non-native) save dialog, not yet shown.
QFileDialog* makeSaveDialog(QWidget* parent, const SavePanel& panel);

// QFileDialog over the active window, waiting for the user in an event loop of its own. A window destroyed meanwhile
// takes its dialog with it: the wait then answers as a cancelled one.
class FileDialogs : public EditorDialogs {
public:
    std::optional<std::filesystem::path> chooseImageToOpen() override;
    std::optional<std::filesystem::path> choosePresetToImport() override;
    std::optional<std::filesystem::path> choosePresetDestination(const SavePanel& panel) override;
    std::optional<std::filesystem::path> choosePNGDestination(const SavePanel& panel) override;
    GIFDestination chooseGIFDestination(const SavePanel& panel, int maxDimension, int duration,
                                        const GIFDialogContext& context) override;
};

}  // namespace tilvane
