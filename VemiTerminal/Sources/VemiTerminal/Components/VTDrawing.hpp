#pragma once

#include "VemiTerminal/Tokens/VTTextStyle.hpp"

#include <QColor>
#include <QPen>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;
class QPainterPath;

// A solid pen with the kit's explicit caps and joins (flat caps, miter joins, miter limit 10).
QPen vtPen(const QColor& colour, qreal width = 1);
// Strokes `path` with `pen` through the geometric stroker, so joins and caps hold at any width (Qt draws
// 1-pt pens with a cosmetic stroker that has no joins).
void vtStrokePath(QPainter& painter, const QPainterPath& path, const QPen& pen);
// Outlines `rect` with a stroke of `width` that lies wholly inside it.
void vtStrokeInside(QPainter& painter, const QRectF& rect, const QColor& colour, qreal width = 1);

// The box of one line of text in a style: its advance by the style's natural line height.
QSizeF vtTextLineSize(VTTextStyle style, const QString& text);
// Whole-pixel size that holds the line box.
QSize vtCeil(const QSizeF& size);
// Draws one line of text vertically centred in a box of the style's natural line height at `topLeft`.
void vtDrawTextLine(QPainter& painter, const QPointF& topLeft, VTTextStyle style, const QString& text,
                    const QColor& colour);
