#pragma once

class QWidget;

namespace veldran {

// The few text styles of the privacy views, derived from the font and palette the widget inherits.
enum class TelemetryTextStyle { caption, secondCaption, headline };

void applyTextStyle(QWidget& widget, TelemetryTextStyle style);

// Draws the widget's text in the secondary (placeholder) colour of the palette it inherits, also after that changes.
void applySecondaryColour(QWidget& widget);

}  // namespace veldran
