#include "Tilvane/Views/PixelPainting.hpp"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QWidget>

void paintWithOpacity(QPainter& painter, const QSize& size, qreal opacity, const std::function<void(QPainter&)>& paint)
{
    if (opacity >= 1) {
        paint(painter);
        return;
    }
    const qreal ratio = painter.device()->devicePixelRatioF();
    QImage layer(size * ratio, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    {
        QPainter layerPainter(&layer);
        layerPainter.setRenderHints(painter.renderHints());
        paint(layerPainter);
    }
    painter.save();
    painter.setOpacity(opacity);
    painter.drawImage(QPointF(0, 0), layer);
    painter.restore();
}

qreal controlOpacity(const QWidget& widget)
{
    return widget.isEnabled() ? 1.0 : 0.5;
}
