#pragma once

#include <QColor>
#include <QRectF>
#include <QSize>
#include <functional>
#include <optional>

class QPainter;
class QWidget;

namespace tilvane {

// Paints `paint` straight onto `painter` at full opacity, or, at a lower opacity, into a layer of `size` that is
// then laid down once, so overlapping parts fade as one picture (a disabled control).
void paintWithOpacity(QPainter& painter, const QSize& size, qreal opacity, const std::function<void(QPainter&)>& paint);

// The opacity the application's controls are drawn at: 1 when enabled, 0.5 inside a disabled container.
qreal controlOpacity(const QWidget& widget);

// The ground a control sits on when it lies on a kit window's body: the body's colour (the pink body or the
// theme's `bgWindow`); nothing elsewhere.
std::optional<QColor> kitWindowGround(const QWidget& widget);

// Makes a control that repaints often (a dragged slider) paint its own ground on a kit window body, so that a
// repaint of it does not repaint the window beneath; elsewhere it stays see-through. Call on show and reparenting.
void followKitWindowGround(QWidget& widget);

// Fills the control's ground when it has one (see followKitWindowGround).
void paintKitWindowGround(QPainter& painter, const QWidget& widget);

// The kit's focus ring in `colour`, laid just inside the outline `outlineWidth` px wide that edges `bounds`: the
// outline still shows where the control ends, and the ring shows against the control's own fill.
void paintFocusRingInside(QPainter& painter, const QRectF& bounds, qreal outlineWidth, const QColor& colour);

}  // namespace tilvane
