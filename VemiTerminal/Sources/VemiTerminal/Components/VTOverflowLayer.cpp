#include "VemiTerminal/Components/VTOverflowLayer.hpp"

#include <QEvent>
#include <QPainter>
#include <QRegion>

VTOverflowLayer::VTOverflowLayer(QWidget* target, VTOverflowing* painter, int margin)
    : QWidget(target->parentWidget()), target_(target), painter_(painter), margin_(margin) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    target->installEventFilter(this);
    follow();
}

bool VTOverflowLayer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != target_) {
        return false;
    }
    switch (event->type()) {
    case QEvent::ParentChange:
        setParent(target_->parentWidget());
        follow();
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        follow();
        break;
    case QEvent::Paint:
        update();
        break;
    default:
        break;
    }
    return false;
}

void VTOverflowLayer::follow() {
    if (parentWidget() == nullptr) {
        hide();
        return;
    }
    const QRect bounds = target_->geometry();
    setGeometry(bounds.adjusted(0, 0, margin_, margin_));
    setMask(QRegion(rect()).subtracted(QRegion(0, 0, bounds.width(), bounds.height())));
    raise();
    setVisible(target_->isVisibleTo(parentWidget()));
}

void VTOverflowLayer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter_->paintWithOverflow(painter);
}
