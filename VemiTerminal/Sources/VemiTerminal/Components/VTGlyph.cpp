#include "VemiTerminal/Components/VTGlyph.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QPainter>

namespace {
constexpr qreal paddingH = 4;
}

VTGlyph::VTGlyph(const QString& text, QWidget* parent) : QWidget(parent), text_(text)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    vtEnableAccessibleText();
}

QSize VTGlyph::sizeHint() const
{
    const QSizeF line = vtTextLineSize(VTTextStyle::pixelLG, text_);
    return vtCeil({line.width() + 2 * paddingH, line.height()});
}

void VTGlyph::paintEvent(QPaintEvent*)
{
    const VTTheme& theme = vtTheme(this);
    QPainter painter(this);
    painter.fillRect(rect(), theme.glyphBg);
    vtDrawTextLine(painter, {paddingH, 0}, VTTextStyle::pixelLG, text_, theme.glyphFg);
}
