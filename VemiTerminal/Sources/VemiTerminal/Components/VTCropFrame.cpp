#include "VemiTerminal/Components/VTCropFrame.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QPainter>
#include <QVBoxLayout>

namespace {
constexpr int margin = 32;
}

QPainterPath VTCropMarks::path(const QRectF& rect) const
{
    const QRectF r = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal l = length;
    QPainterPath marks;
    marks.moveTo(r.left(), r.top() + l);
    marks.lineTo(r.left(), r.top());
    marks.lineTo(r.left() + l, r.top());
    marks.moveTo(r.right() - l, r.top());
    marks.lineTo(r.right(), r.top());
    marks.lineTo(r.right(), r.top() + l);
    marks.moveTo(r.left(), r.bottom() - l);
    marks.lineTo(r.left(), r.bottom());
    marks.lineTo(r.left() + l, r.bottom());
    marks.moveTo(r.right() - l, r.bottom());
    marks.lineTo(r.right(), r.bottom());
    marks.lineTo(r.right(), r.bottom() - l);
    return marks;
}

VTCropFrame::VTCropFrame(QWidget* content, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->addWidget(content);
}

void VTCropFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    vtStrokePath(painter, VTCropMarks{}.path(rect()), vtPen(vtTheme(this).border, 1));
}
