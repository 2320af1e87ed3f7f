#pragma once

#include "VemiTerminal/Theme/VTAppearance.hpp"

#include <QWidget>

#include <array>
#include <optional>

class QFileDialog;
class VTText;

namespace tilvane {

class PixelChoiceButton;

// The choices of a GIF export: the longest side in pixels and the length in seconds.
struct GIFExportChoice {
    int maxDimension = 1024;
    int duration = 2;

    friend bool operator==(const GIFExportChoice&, const GIFExportChoice&) = default;
};

// The options shown inside the GIF save dialog: size chips (512, 1024, 2048 px) with the resulting
// "W × H px", length chips (1, 2, 3 s) and a caption saying whether the GIF moves.
class GIFExportOptions : public QWidget {
    Q_OBJECT
public:
    static constexpr std::array<int, 3> sizes{512, 1024, 2048};
    static constexpr std::array<int, 3> durations{1, 2, 3};

    GIFExportOptions(int sourceWidth, int sourceHeight, bool animated, QWidget* parent = nullptr);

    GIFExportChoice choice() const { return choice_; }
    // Shows a choice without emitting choiceEdited.
    void setChoice(GIFExportChoice choice);

signals:
    // The user picked a size or a length.
    void choiceEdited(GIFExportChoice choice);

private:
    void edit(GIFExportChoice choice);
    void refresh();

    int sourceWidth_;
    int sourceHeight_;
    GIFExportChoice choice_;
    std::array<PixelChoiceButton*, 3> sizeButtons_{};
    std::array<PixelChoiceButton*, 3> durationButtons_{};
    VTText* outputSize_;
};

// The text under the size chips: the GIF's width and height for that longest side.
QString gifOutputSizeText(int sourceWidth, int sourceHeight, int maxDimension);

// Puts the options (drawn in the window's theme) under a save dialog's file list; their choice is read
// back after it closes.
GIFExportOptions* addGIFExportOptions(QFileDialog* dialog, int sourceWidth, int sourceHeight, bool animated,
                                      GIFExportChoice choice, VTAppearance appearance);

}  // namespace tilvane

Q_DECLARE_METATYPE(tilvane::GIFExportChoice)
