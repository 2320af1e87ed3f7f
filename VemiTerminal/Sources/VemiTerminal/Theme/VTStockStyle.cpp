#include "VemiTerminal/Theme/VTStockStyle.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Components/VTKeyboardFocus.hpp"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace {
constexpr int markInset = 3;
}  // namespace

VTStockStyle::VTStockStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void VTStockStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const
{
    if (element != PE_IndicatorCheckBox) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // The option's palette is already in the group of the box's state (disabled, inactive or active).
    const QColor ink = option->palette.color(QPalette::WindowText);
    const QRect box = option->rect;
    painter->save();
    painter->fillRect(box, option->palette.color(QPalette::Base));
    if (option->state & State_On) {
        painter->fillRect(box.adjusted(markInset, markInset, -markInset, -markInset), ink);
    } else if (option->state & State_NoChange) {
        const int middle = box.top() + box.height() / 2;
        painter->fillRect(QRect(box.left() + markInset, middle - 1, box.width() - 2 * markInset, 2), ink);
    }
    if ((option->state & State_HasFocus) && (option->state & State_KeyboardFocusChange)) {
        vtDrawKeyboardFocus(*painter, box, ink);
    } else {
        vtStrokeInside(*painter, box, ink);
    }
    painter->restore();
}

void VTStockStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const
{
    // The bar takes the focus only while it holds the keyboard; its current title is the selected one.
    if (element == CE_MenuBarItem && (option->state & State_Selected) && widget != nullptr && widget->hasFocus()) {
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
            QStyleOptionMenuItem held = *item;
            held.state |= State_Sunken;
            QProxyStyle::drawControl(element, &held, painter, widget);
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}
