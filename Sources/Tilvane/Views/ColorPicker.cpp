#include "Tilvane/Views/ColorPicker.hpp"

#include "Tilvane/Views/GuardedDialog.hpp"

#include <QColorDialog>
#include <algorithm>
#include <cmath>

namespace tilvane {

ColorPicker systemColorPicker()
{
    return [](const QColor& initial, const QString& title, QWidget* parent) -> std::optional<QColor> {
        auto* dialog = new QColorDialog(initial, parent);
        if (!title.isEmpty()) dialog->setWindowTitle(title);
        // A parent destroyed while the dialog waits counts as cancelled.
        return runGuardedDialog(
            dialog,
            [](const QColorDialog& shown, bool accepted) -> std::optional<QColor> {
                const QColor picked = shown.selectedColor();
                if (!accepted || !picked.isValid()) return std::nullopt;
                return picked;
            },
            std::optional<QColor>());
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
