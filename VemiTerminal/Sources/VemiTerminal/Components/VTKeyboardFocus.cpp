#include "VemiTerminal/Components/VTKeyboardFocus.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"

#include <QFocusEvent>
#include <QWidget>

namespace {
constexpr qreal outlineWidth = 2;

bool fromKeyboard(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}
}  // namespace

VTKeyboardFocus::VTKeyboardFocus(QWidget* widget) : QObject(widget), widget_(widget)
{
    widget->installEventFilter(this);
}

bool VTKeyboardFocus::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == widget_) {
        switch (event->type()) {
        case QEvent::FocusIn:
            show(fromKeyboard(static_cast<QFocusEvent*>(event)->reason()));
            break;
        case QEvent::KeyPress:
            show(widget_->hasFocus());
            break;
        case QEvent::FocusOut:
        case QEvent::MouseButtonPress:
            show(false);
            break;
        default:
            break;
        }
    }
    return false;
}

void VTKeyboardFocus::show(bool shown)
{
    if (shown != shown_) {
        shown_ = shown;
        widget_->update();
    }
}

void vtDrawKeyboardFocus(QPainter& painter, const QRectF& rect, const QColor& colour)
{
    vtStrokeInside(painter, rect, colour, outlineWidth);
}
