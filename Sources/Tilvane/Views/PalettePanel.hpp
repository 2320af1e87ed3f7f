#pragma once

#include "Tilvane/Views/VisualPanel.hpp"

#include <QPointer>

#include "Tilvane/Views/ColorPicker.hpp"

#include <vector>

class QVBoxLayout;

namespace tilvane {

class CustomPaletteEditor;
class PaletteSwatch;
class PixelChoiceButton;

// "Visual": one row per built-in palette and one for the custom palette, each with a strip of its
// colours; the custom palette's editor while that palette is chosen.
class PalettePanel : public VisualPanel {
    Q_OBJECT
public:
    explicit PalettePanel(ColorPicker picker = systemColorPicker(), QWidget* parent = nullptr);

    // The custom colours the panel shows and starts from: the stored ones, else the defaults.
    static std::vector<RGBColor> shownCustomColors(const VisualSettings& visual);

protected:
    void refresh() override;

private:
    PixelChoiceButton* addRow(const QString& name, const std::string& id, const ImagePalette& palette);
    void showEditor(bool shown);

    QVBoxLayout* column_;
    std::vector<std::pair<std::string, PixelChoiceButton*>> rows_;
    PaletteSwatch* customSwatch_ = nullptr;
    ColorPicker picker_;
    QPointer<CustomPaletteEditor> editor_;
};

}  // namespace tilvane
