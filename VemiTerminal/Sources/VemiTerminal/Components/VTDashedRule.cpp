#include "VemiTerminal/Components/VTDashedRule.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QPainter>

VTDashedRule::VTDashedRule(QWidget* parent) : QWidget(parent)
{
    setFixedWidth(1);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void VTDashedRule::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QPen pen = vtPen(vtTheme(this).rule, 1);
    pen.setDashPattern({3, 3});
    pen.setDashOffset(0);
    painter.setPen(pen);
    painter.drawLine(QPointF(0.5, 0), QPointF(0.5, height()));
}
