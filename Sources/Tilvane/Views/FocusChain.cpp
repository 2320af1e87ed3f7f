#include "Tilvane/Views/FocusChain.hpp"

#include <QBoxLayout>
#include <QGridLayout>
#include <QSet>
#include <QWidget>
#include <algorithm>

namespace tilvane::focus_chain {

namespace {

bool isTabStop(const QWidget& widget)
{
    return (widget.focusPolicy() & Qt::TabFocus) == Qt::TabFocus && widget.focusProxy() == nullptr;
}

// The layout's items in the order they stand on the screen.
QList<QLayoutItem*> itemsInScreenOrder(QLayout& layout)
{
    QList<QLayoutItem*> items;
    for (int index = 0; index < layout.count(); ++index) items.append(layout.itemAt(index));
    if (auto* grid = qobject_cast<QGridLayout*>(&layout)) {
        const auto cell = [grid](QLayoutItem* item) {
            int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(grid->indexOf(item), &row, &column, &rowSpan, &columnSpan);
            return std::pair(row, column);
        };
        std::stable_sort(items.begin(), items.end(), [&](QLayoutItem* a, QLayoutItem* b) { return cell(a) < cell(b); });
    } else if (auto* box = qobject_cast<QBoxLayout*>(&layout)) {
        if (box->direction() == QBoxLayout::RightToLeft || box->direction() == QBoxLayout::BottomToTop)
            std::reverse(items.begin(), items.end());
    }
    return items;
}

void placedWidgets(QLayout& layout, QList<QWidget*>& placed)
{
    for (QLayoutItem* item : itemsInScreenOrder(layout)) {
        if (QWidget* widget = item->widget()) {
            placed.append(widget);
        } else if (QLayout* inner = item->layout()) {
            placedWidgets(*inner, placed);
        }
    }
}

// The child widgets of `widget` in screen order: those its layout places, then the others by where they stand.
QList<QWidget*> childrenInScreenOrder(QWidget& widget)
{
    QList<QWidget*> ordered;
    if (QLayout* layout = widget.layout()) placedWidgets(*layout, ordered);
    const QSet<QWidget*> placed(ordered.begin(), ordered.end());
    QList<QWidget*> free;
    for (QObject* child : widget.children()) {
        auto* childWidget = qobject_cast<QWidget*>(child);
        if (childWidget != nullptr && !placed.contains(childWidget)) free.append(childWidget);
    }
    std::stable_sort(free.begin(), free.end(), [](const QWidget* a, const QWidget* b) {
        return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });
    ordered.append(free);
    ordered.removeIf([&widget](const QWidget* child) { return child->isWindow() || child->parentWidget() != &widget; });
    return ordered;
}

void collect(QWidget& widget, QList<QWidget*>& stops)
{
    if (isTabStop(widget)) stops.append(&widget);
    for (QWidget* child : childrenInScreenOrder(widget)) collect(*child, stops);
}

}  // namespace

QList<QWidget*> screenOrder(QWidget& root)
{
    QList<QWidget*> stops;
    collect(root, stops);
    return stops;
}

void arrange(QWidget& root)
{
    const QList<QWidget*> stops = screenOrder(root);
    for (qsizetype index = 1; index < stops.size(); ++index) QWidget::setTabOrder(stops[index - 1], stops[index]);
}

}  // namespace tilvane::focus_chain
