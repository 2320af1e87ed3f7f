#include "Tilvane/Views/ColorPicker.hpp"

#include <QColorDialog>
#include <QPointer>
#include <algorithm>
#include <cmath>

namespace tilvane {

ColorPicker systemColorPicker()
{
    return [](const QColor& initial, const QString& title, QWidget* parent) -> std::optional<QColor> {
        // A parent destroyed while the dialog waits takes the dialog with it: that counts as cancelled.
        const QPointer<QColorDialog> dialog = new QColorDialog(initial, parent);
        if (!title.isEmpty()) dialog->setWindowTitle(title);
        const bool accepted = dialog->exec() == QDialog::Accepted;
        if (!dialog) return std::nullopt;
        const QColor picked = dialog->selectedColor();
        delete dialog;
        if (!accepted || !picked.isValid()) return std::nullopt;
        return picked;
    };
}

std::optional<RGBComponents> srgbComponents(const std::optional<QColor>& picked)
{
    if (!picked || !picked->isValid()) return std::nullopt;
    // A wide-gamut colour keeps its float components: one that is not a finite number is no colour at all.
    if (!std::isfinite(picked->redF()) || !std::isfinite(picked->greenF()) || !std::isfinite(picked->blueF())) {
        return std::nullopt;
    }
    const QColor rgb = picked->convertTo(QColor::Rgb);
    if (!rgb.isValid()) return std::nullopt;
    return RGBComponents{rgb.redF(), rgb.greenF(), rgb.blueF()};
}

QColor displayColor(double red, double green, double blue)
{
    const auto unit = [](double component) { return std::isnan(component) ? 0.0 : std::clamp(component, 0.0, 1.0); };
    return QColor::fromRgbF(static_cast<float>(unit(red)), static_cast<float>(unit(green)),
                            static_cast<float>(unit(blue)));
}

}  // namespace tilvane
