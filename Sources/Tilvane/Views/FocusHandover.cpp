#include "Tilvane/Views/FocusHandover.hpp"

#include "Tilvane/Views/FocusChain.hpp"

#include "VemiTerminal/Components/VTKeyboardFocus.hpp"

#include <algorithm>

namespace tilvane {

namespace {

bool canTakeFocus(const QWidget& widget, const QWidget& block)
{
    return widget.isVisibleTo(&block) && widget.isEnabled();
}

// The block's controls that can take the focus now, in screen order.
QList<QWidget*> reachableStops(QWidget& block)
{
    QList<QWidget*> stops = focus_chain::screenOrder(block);
    stops.removeIf([&block](const QWidget* stop) { return !canTakeFocus(*stop, block); });
    return stops;
}

}  // namespace

FocusHandover::FocusHandover(QWidget* leaving) : leaving_(leaving)
{
    if (leaving == nullptr) return;
    QWidget* focused = leaving->window()->focusWidget();
    if (focused == nullptr || !leaving->isAncestorOf(focused)) return;
    focused_ = focused;
    name_ = focused->objectName();
    byKeyboard_ = VTKeyboardFocus::isShownOn(*focused);
    const QList<QWidget*> stops = reachableStops(*leaving);
    position_ = std::max<qsizetype>(stops.indexOf(focused), 0);
    for (qsizetype index = 0; index < position_; ++index) {
        if (stops[index]->objectName() == name_) ++occurrence_;
    }
}

QWidget* FocusHandover::counterpart(QWidget& replacement) const
{
    const QList<QWidget*> stops = reachableStops(replacement);
    if (stops.isEmpty()) return nullptr;
    qsizetype seen = 0;
    for (QWidget* stop : stops) {
        if (stop->objectName() == name_ && seen++ == occurrence_) return stop;
    }
    return stops[std::min(position_, stops.size() - 1)];
}

QWidget* FocusHandover::nextAfterLeaving() const
{
    for (QWidget* next = focused_->nextInFocusChain(); next != focused_; next = next->nextInFocusChain()) {
        if (!leaving_->isAncestorOf(next) && (next->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && next->isVisible()
            && next->isEnabled())
            return next;
    }
    return nullptr;
}

QWidget* FocusHandover::moveTo(QWidget* replacement)
{
    if (focused_ == nullptr || leaving_ == nullptr) return nullptr;
    QWidget* next = replacement != nullptr ? counterpart(*replacement) : nullptr;
    if (next == nullptr) next = nextAfterLeaving();
    if (next == nullptr) return nullptr;
    // The kit outlines focus that came by Tab; focus that came by a click stays unmarked.
    next->setFocus(byKeyboard_ ? Qt::TabFocusReason : Qt::OtherFocusReason);
    return next;
}

}  // namespace tilvane
