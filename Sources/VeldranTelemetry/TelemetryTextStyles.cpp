#include "VeldranTelemetry/TelemetryTextStyles.hpp"

#include <QFont>
#include <QPalette>
#include <QWidget>

namespace veldran {

void applyTextStyle(QWidget& widget, TelemetryTextStyle style)
{
    QFont font = widget.font();
    const qreal base = font.pointSizeF() > 0 ? font.pointSizeF() : 10.0;
    switch (style) {
    case TelemetryTextStyle::caption:
        font.setPointSizeF(base * 0.85);
        break;
    case TelemetryTextStyle::secondCaption:
        font.setPointSizeF(base * 0.8);
        break;
    case TelemetryTextStyle::headline:
        font.setBold(true);
        break;
    }
    widget.setFont(font);
}

void applySecondaryColour(QWidget& widget)
{
    // A role, not a colour: the text follows whatever palette the widget's window has, now and later.
    widget.setForegroundRole(QPalette::PlaceholderText);
}

}  // namespace veldran
