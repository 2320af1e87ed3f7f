#include "Tilvane/Views/ScrollAnchor.hpp"

#include <QCoreApplication>
#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>

namespace tilvane {

namespace {

// Room left above and below a control kept in view, as a scroll area leaves around a widget it shows.
constexpr int keptMargin = 24;

// What the user does to take the content elsewhere (or to act in it).
bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
        return true;
    default:
        return false;
    }
}

}  // namespace

ScrollAnchor::ScrollAnchor(QScrollArea& area) : QObject(&area), area_(area)
{
    connect(area_.verticalScrollBar(), &QScrollBar::rangeChanged, this, &ScrollAnchor::scroll);
}

void ScrollAnchor::hold(QWidget* target)
{
    start();
    target_ = target;
    scroll();
}

void ScrollAnchor::keepInView(QWidget* control)
{
    start();
    kept_ = control;
    scroll();
}

void ScrollAnchor::start()
{
    // The moves and the user's input reach the filter before anything else sees them.
    if (target_ == nullptr && kept_ == nullptr) QCoreApplication::instance()->installEventFilter(this);
}

void ScrollAnchor::release()
{
    target_ = nullptr;
    kept_ = nullptr;
    QCoreApplication::instance()->removeEventFilter(this);
}

void ScrollAnchor::scroll()
{
    QScrollBar& bar = *area_.verticalScrollBar();
    int value = target_ != nullptr ? target_->y() : bar.value();
    if (kept_ != nullptr && area_.widget() != nullptr && area_.widget()->isAncestorOf(kept_)) {
        const QRect control(kept_->mapTo(area_.widget(), QPoint()), kept_->size());
        const int room = area_.viewport()->height();
        const int margin = std::min(keptMargin, std::max(0, (room - control.height()) / 2));
        value = std::max(value, control.bottom() + 1 + margin - room);  // its bottom shows
        value = std::min(value, control.top() - margin);                // and its top, which wins
    }
    if (target_ != nullptr || kept_ != nullptr) bar.setValue(value);
}

bool ScrollAnchor::movesKeptControl(QObject* watched) const
{
    if (kept_ == nullptr || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    return widget == kept_ || widget->isAncestorOf(kept_);
}

bool ScrollAnchor::eventFilter(QObject* watched, QEvent* event)
{
    if (isUserInput(event->type())) {
        release();
    } else if ((event->type() == QEvent::Move && watched == target_)
               || ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && movesKeptControl(watched))) {
        scroll();
    }
    return false;
}

}  // namespace tilvane
