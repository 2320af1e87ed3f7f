#pragma once

#include <QColor>
#include <QPoint>
#include <QString>

class QPainter;

namespace tilvane {

// The application's small icon set, drawn on a 16 × 16 grid of whole pixels: "plus", "square.and.arrow.down",
// "pencil", "arrow.uturn.backward", "trash", "tray.and.arrow.down", "square.and.arrow.up".
inline constexpr int pixelIconSide = 16;

bool hasPixelIcon(const QString& name);
// Draws the named icon with its top-left corner at `origin`; an unknown name draws nothing.
void drawPixelIcon(QPainter& painter, const QString& name, QPoint origin, const QColor& colour);

}  // namespace tilvane
