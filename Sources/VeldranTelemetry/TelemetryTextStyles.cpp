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
    QPalette palette = widget.palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::WindowText, palette.color(group, QPalette::PlaceholderText));
    widget.setPalette(palette);
}

}  // namespace veldran
