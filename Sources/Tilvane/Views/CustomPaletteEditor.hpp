#pragma once

#include "Tilvane/Views/ColorPicker.hpp"

#include "TilvaneCore/RGBColor.hpp"
#include "TilvaneCore/Uuid.hpp"

#include <QPointer>
#include <QWidget>
#include <optional>
#include <vector>

class QVBoxLayout;
class VTButton;

namespace tilvane {

class WrappedText;
class CustomPaletteRow;

// Edits the custom palette: one row per colour (well, "#RRGGBB", "−"), "+ Adicionar Cor", and a hint that turns
// into a warning when a picked colour is already in the list. It lets the list grow to 16 and shrink to 2 distinct
// colours; every accepted change is reported at once as the whole list. Rows keep their identity while their colour
// changes or a neighbour is removed; a list of another length handed in renews them all.
class CustomPaletteEditor : public QWidget {
    Q_OBJECT
public:
    static constexpr std::size_t maximumColors = 16;
    static constexpr std::size_t minimumColors = 2;

    explicit CustomPaletteEditor(std::vector<RGBColor> colors, ColorPicker picker = systemColorPicker(),
                                 QWidget* parent = nullptr);

    const std::vector<RGBColor>& colors() const { return colors_; }
    // A list from elsewhere: shown as it is, whatever its length.
    void setColors(const std::vector<RGBColor>& colors);
    const std::optional<QString>& warning() const { return warning_; }
    // The row widgets in display order.
    QList<QWidget*> rows() const;

signals:
    void colorsEdited(const std::vector<RGBColor>& colors);

private:
    void addColor();
    void removeColor(const Uuid& row);
    void pick(const Uuid& row, const QColor& picked);
    void publish();
    void setWarning(std::optional<QString> warning);
    void syncRows();

    ColorPicker picker_;
    std::vector<RGBColor> colors_;
    std::vector<Uuid> rowIDs_;
    std::optional<QString> warning_;

    QVBoxLayout* layout_;
    std::vector<QPointer<CustomPaletteRow>> rows_;
    VTButton* addButton_;
    WrappedText* footer_;
};

}  // namespace tilvane
