#include "Tilvane/Views/PixelPainting.hpp"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QWidget>

#include "VemiTerminal/Components/VTKeyboardFocus.hpp"
#include "VemiTerminal/Components/VTWindow.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"
#include "VemiTerminal/Tokens/VTPalette.hpp"

namespace tilvane {

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

std::optional<QColor> kitWindowGround(const QWidget& widget)
{
    for (const QWidget* ancestor = widget.parentWidget(); ancestor != nullptr; ancestor = ancestor->parentWidget()) {
        if (const auto* window = qobject_cast<const VTWindow*>(ancestor)) {
            return window->bodyBackground();
        }
        if (ancestor->autoFillBackground()) return std::nullopt;
    }
    return std::nullopt;
}

void followKitWindowGround(QWidget& widget)
{
    widget.setAttribute(Qt::WA_OpaquePaintEvent, kitWindowGround(widget).has_value());
}

void paintKitWindowGround(QPainter& painter, const QWidget& widget)
{
    if (!widget.testAttribute(Qt::WA_OpaquePaintEvent)) return;
    if (const auto ground = kitWindowGround(widget)) painter.fillRect(widget.rect(), *ground);
}

void paintFocusRingInside(QPainter& painter, const QRectF& bounds, qreal outlineWidth, const QColor& colour)
{
    vtDrawKeyboardFocus(painter, bounds.adjusted(outlineWidth, outlineWidth, -outlineWidth, -outlineWidth), colour);
}

}  // namespace tilvane
