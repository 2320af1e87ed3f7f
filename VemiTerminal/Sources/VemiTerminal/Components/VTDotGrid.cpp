#include "VemiTerminal/Components/VTDotGrid.hpp"

#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QPainter>
#include <QPainterPath>

namespace {
constexpr qreal dotDiameter = 1.2;
}

VTDotGrid::VTDotGrid(qreal pitch, QWidget* parent) : QWidget(parent), pitch_(pitch) {}

void VTDotGrid::setPitch(qreal pitch)
{
    pitch_ = pitch;
    update();
}

void VTDotGrid::paint(QPainter& painter, const QRectF& bounds, const VTTheme& theme, qreal pitch)
{
    painter.fillRect(bounds, theme.bgSection);
    if (!(pitch > 0) || bounds.width() <= pitch / 2 || bounds.height() <= pitch / 2) {
        return;
    }
    if (pitch * painter.device()->devicePixelRatioF() < 1) {
        // Dots closer than a device pixel merge into one another: a single fill of their colour stands for them
        // all, so the work stays bounded by the pixels drawn however small the pitch.
        painter.fillRect(bounds, theme.dot);
        return;
    }
    QPainterPath dots;
    const qreal radius = dotDiameter / 2;
    for (qreal y = pitch / 2; y < bounds.height(); y += pitch) {
        for (qreal x = pitch / 2; x < bounds.width(); x += pitch) {
            dots.addEllipse(QRectF(bounds.left() + x - radius, bounds.top() + y - radius, dotDiameter, dotDiameter));
        }
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(dots, theme.dot);
    painter.restore();
}

void VTDotGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter, rect(), vtTheme(this), pitch_);
}
