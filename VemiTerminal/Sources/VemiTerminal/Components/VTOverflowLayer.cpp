#include "VemiTerminal/Components/VTOverflowLayer.hpp"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>
#include <QRegion>

VTOverflowLayer::VTOverflowLayer(QWidget* target, VTOverflowing* painter, int margin)
    : QWidget(target->parentWidget()), target_(target), painter_(painter), margin_(margin)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    target->installEventFilter(this);
    follow();
}

bool VTOverflowLayer::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ParentChange:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        follow();
        break;
    case QEvent::Paint:
        if (watched == target_) {
            update();
        }
        break;
    default:
        break;
    }
    return false;
}

namespace {
// A scroll area's viewport shows only part of what scrolls inside it, and clips everything else.
bool clipsScrolledContent(const QWidget* widget)
{
    const auto* area = qobject_cast<const QAbstractScrollArea*>(widget->parentWidget());
    return area != nullptr && area->viewport() == widget;
}
}  // namespace

QWidget* VTOverflowLayer::roomyAncestor() const
{
    for (QWidget* ancestor = target_->parentWidget(); ancestor != nullptr; ancestor = ancestor->parentWidget()) {
        const QRect needed(target_->mapTo(ancestor, QPoint(0, 0)), target_->size() + QSize(margin_, margin_));
        if (ancestor->rect().contains(needed) || ancestor->isWindow() || clipsScrolledContent(ancestor)) {
            return ancestor;
        }
    }
    return nullptr;
}

void VTOverflowLayer::follow()
{
    // Every ancestor's geometry moves the component within the host, so watch the whole chain.
    for (QWidget* ancestor = target_->parentWidget(); ancestor != nullptr; ancestor = ancestor->parentWidget()) {
        ancestor->installEventFilter(this);
    }
    QWidget* host = roomyAncestor();
    if (host == nullptr) {
        hide();
        return;
    }
    if (parentWidget() != host) {
        setParent(host);
    }
    const QRect bounds(target_->mapTo(host, QPoint(0, 0)), target_->size());
    setGeometry(bounds.adjusted(0, 0, margin_, margin_));
    setMask(QRegion(rect()).subtracted(QRegion(0, 0, bounds.width(), bounds.height())));
    raise();
    setVisible(target_->isVisibleTo(host));
}

void VTOverflowLayer::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter_->paintWithOverflow(painter);
}
