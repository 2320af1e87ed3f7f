#pragma once

#include <QColor>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace tilvane {

// Asks the user for a colour, starting from `initial`; nothing when the pick is cancelled. Views take one of
// these so that tests can answer without a modal dialog.
using ColorPicker = std::function<std::optional<QColor>(const QColor& initial, const QString& title, QWidget* parent)>;

// The platform's colour dialog, without an alpha channel.
ColorPicker systemColorPicker();

// A picked colour as sRGB components, or nothing when it is invalid or cannot be converted.
struct RGBComponents {
    double red;
    double green;
    double blue;
};
std::optional<RGBComponents> srgbComponents(const std::optional<QColor>& picked);

// A colour to show for stored components, each clamped to 0…1 (a component that is not a number shows as 0).
QColor displayColor(double red, double green, double blue);

}  // namespace tilvane
