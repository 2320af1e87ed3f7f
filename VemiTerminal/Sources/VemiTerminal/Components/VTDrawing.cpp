#include "VemiTerminal/Components/VTDrawing.hpp"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <cmath>

QPen vtPen(const QColor& colour, qreal width)
{
    QPen pen(colour, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    return pen;
}

void vtStrokePath(QPainter& painter, const QPainterPath& path, const QPen& pen)
{
    QPainterPathStroker stroker(pen);
    painter.fillPath(stroker.createStroke(path), pen.color());
}

void vtStrokeInside(QPainter& painter, const QRectF& rect, const QColor& colour, qreal width)
{
    const qreal half = width / 2;
    QPainterPath outline;
    outline.addRect(rect.adjusted(half, half, -half, -half));
    vtStrokePath(painter, outline, vtPen(colour, width));
}

QSizeF vtTextLineSize(VTTextStyle style, const QString& text)
{
    return {QFontMetricsF(vtFont(style)).horizontalAdvance(text), vtNaturalLineHeight(style)};
}

QSize vtCeil(const QSizeF& size)
{
    return {static_cast<int>(std::ceil(size.width() - 1e-6)), static_cast<int>(std::ceil(size.height() - 1e-6))};
}

void vtDrawTextLine(QPainter& painter, const QPointF& topLeft, VTTextStyle style, const QString& text,
                    const QColor& colour)
{
    const QFont font = vtFont(style);
    const QFontMetricsF metrics(font);
    const qreal baseline = topLeft.y() + (vtNaturalLineHeight(style) - metrics.height()) / 2 + metrics.ascent();
    painter.save();
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QPointF(topLeft.x(), baseline), text);
    painter.restore();
}
