#include "VemiTerminal/Components/VTKeyboardFocus.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"

#include <QFocusEvent>
#include <QWidget>

namespace {
constexpr qreal outlineWidth = 2;
// On a window: whether the keyboard was in use where its focus was when the window lost it.
constexpr const char* keyboardInUseProperty = "vtKeyboardFocusInUse";

bool fromKeyboard(Qt::FocusReason reason)
{
    // The menu bar takes the focus only for the keyboard (Alt), and gives it back when the keyboard lets it go.
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason
           || reason == Qt::MenuBarFocusReason;
}

// Focus that leaves or comes back because another window or a popup came over the widget's window or went away.
bool withItsWindow(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
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
        case QEvent::FocusIn: {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            show(withItsWindow(reason) ? widget_->window()->property(keyboardInUseProperty).toBool()
                                       : fromKeyboard(reason));
            break;
        }
        case QEvent::FocusOut:
            if (withItsWindow(static_cast<QFocusEvent*>(event)->reason())) {
                widget_->window()->setProperty(keyboardInUseProperty, shown_);
            }
            show(false);
            break;
        case QEvent::KeyPress:
            show(widget_->hasFocus());
            break;
        case QEvent::MouseButtonPress:
            show(false);
            break;
        default:
            break;
        }
    }
    return false;
}

bool VTKeyboardFocus::isShownOn(const QWidget& widget)
{
    const auto* mark = widget.findChild<VTKeyboardFocus*>(QString(), Qt::FindDirectChildrenOnly);
    return mark != nullptr && mark->isShown();
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
