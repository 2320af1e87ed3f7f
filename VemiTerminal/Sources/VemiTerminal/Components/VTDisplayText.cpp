#include "VemiTerminal/Components/VTDisplayText.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace {
constexpr qreal minimumScale = 0.5;
}

VTDisplayText::VTDisplayText(const QString& text, VTTextStyle style, QWidget* parent)
    : QWidget(parent), lines_(text.split(u'\n')), style_(style)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    vtEnableAccessibleText();
}

qreal VTDisplayText::lineTop(int index) const
{
    const qreal spacing = vtLineHeight(style_) - vtNaturalLineHeight(style_);
    return index * (vtNaturalLineHeight(style_) + spacing);
}

QSize VTDisplayText::sizeHint() const
{
    qreal width = 0;
    for (const QString& line : lines_) {
        width = std::max(width, vtTextLineSize(style_, line).width());
    }
    const auto count = static_cast<int>(lines_.size());
    return vtCeil({width, lineTop(count - 1) + vtNaturalLineHeight(style_)});
}

QSize VTDisplayText::minimumSizeHint() const
{
    const QSize full = sizeHint();
    return {static_cast<int>(full.width() * minimumScale), full.height()};
}

void VTDisplayText::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const QColor colour = vtTheme(this).fgMuted;
    const qreal naturalHeight = vtNaturalLineHeight(style_);
    for (int index = 0; index < lines_.size(); ++index) {
        QString line = lines_[index];
        const qreal width = vtTextLineSize(style_, line).width();
        const qreal scale = width > 0 ? std::clamp(this->width() / width, minimumScale, 1.0) : 1.0;
        if (width * scale > this->width()) {
            line = QFontMetricsF(vtFont(style_)).elidedText(line, Qt::ElideRight, this->width() / scale);
        }
        painter.save();
        // A shrunk line keeps its line box: it is scaled about the box's leading middle.
        painter.translate(0, lineTop(index) + naturalHeight / 2);
        painter.scale(scale, scale);
        vtDrawTextLine(painter, {0, -naturalHeight / 2}, style_, line, colour);
        painter.restore();
    }
}
