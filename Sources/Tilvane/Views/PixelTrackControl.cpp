#include "Tilvane/Views/PixelTrackControl.hpp"

#include "Tilvane/Views/PixelPainting.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Components/VTKeyboardFocus.hpp"
#include "VemiTerminal/Theme/VTTheme.hpp"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tilvane {

PixelTrackControl::PixelTrackControl(const QString& label, QWidget* parent)
    : QWidget(parent), keyboardFocus_(new VTKeyboardFocus(this))
{
    installAccessibleControlFactory();
    setAccessibleName(label);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

double PixelTrackControl::pointerFraction(double x, double width)
{
    const double usable = std::max(width - thumbWidth, 1.0);
    const double fraction = (x - thumbWidth / 2.0) / usable;
    if (std::isnan(fraction)) return 0;
    return std::clamp(fraction, 0.0, 1.0);
}

void PixelTrackControl::paintTrack(QPainter& painter, const VTTheme& theme, const QRectF& area, double thumbX) const
{
    const QRectF track(area.left(), area.top() + (area.height() - trackHeight) / 2.0, area.width(), trackHeight);
    painter.fillRect(track, theme.bgWindow);
    painter.fillRect(QRectF(track.left(), track.top(), std::max(thumbX + thumbWidth / 2.0, 0.0), trackHeight),
                     theme.btnBg);
    vtStrokeInside(painter, track, theme.border);
    const QRectF thumb(area.left() + thumbX, area.top(), thumbWidth, area.height());
    painter.fillRect(thumb, theme.bgWindow);
    vtStrokeInside(painter, thumb, theme.border);
    if (keyboardFocus_->isShown()) vtDrawKeyboardFocus(painter, area, theme.fg);
}

bool PixelTrackControl::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange || event->type() == QEvent::Show) followKitWindowGround(*this);
    return QWidget::event(event);
}

void PixelTrackControl::mousePressEvent(QMouseEvent* event)
{
    dragging_ = event->button() == Qt::LeftButton && QRectF(trackArea()).contains(event->position());
    if (!dragging_) {
        QWidget::mousePressEvent(event);
        return;
    }
    followPointer(*event);
}

void PixelTrackControl::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_ && (event->buttons() & Qt::LeftButton)) followPointer(*event);
}

void PixelTrackControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) dragging_ = false;
}

void PixelTrackControl::followPointer(const QMouseEvent& event)
{
    writeFromPointer(event.position().x() - trackArea().left());
}

void PixelTrackControl::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Up:
        accessibleIncrement();
        return;
    case Qt::Key_Left:
    case Qt::Key_Down:
        accessibleDecrement();
        return;
    case Qt::Key_PageUp:
        stepPage(1);
        return;
    case Qt::Key_PageDown:
        stepPage(-1);
        return;
    case Qt::Key_Home:
        writeBound(false);
        return;
    case Qt::Key_End:
        writeBound(true);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

}  // namespace tilvane
