#include "Tilvane/Views/ScrollAnchor.hpp"

#include <QCoreApplication>
#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>

namespace tilvane {

namespace {

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
    if (target_ == nullptr) {
        // The target's moves and the user's input reach the filter before anything else sees them.
        QCoreApplication::instance()->installEventFilter(this);
    }
    target_ = target;
    scroll();
}

void ScrollAnchor::release()
{
    target_ = nullptr;
    QCoreApplication::instance()->removeEventFilter(this);
}

void ScrollAnchor::scroll()
{
    if (target_ != nullptr) area_.verticalScrollBar()->setValue(target_->y());
}

bool ScrollAnchor::eventFilter(QObject* watched, QEvent* event)
{
    if (isUserInput(event->type())) {
        release();
    } else if (event->type() == QEvent::Move && watched == target_) {
        scroll();
    }
    return false;
}

}  // namespace tilvane
