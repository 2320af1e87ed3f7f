#pragma once

#include <QRectF>
#include <QSize>
#include <functional>

class QPainter;
class QWidget;

// Paints `paint` straight onto `painter` at full opacity, or, at a lower opacity, into a layer of `size` that is
// then laid down once, so overlapping parts fade as one picture (a disabled control).
void paintWithOpacity(QPainter& painter, const QSize& size, qreal opacity, const std::function<void(QPainter&)>& paint);

// The opacity the application's controls are drawn at: 1 when enabled, 0.5 inside a disabled container.
qreal controlOpacity(const QWidget& widget);
