#include "VemiTerminal/Components/VTChip.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QPainter>

namespace {
constexpr qreal paddingH = 6;
constexpr qreal paddingV = 1;
constexpr qreal spacing = 4;
constexpr VTTextStyle chipStyle = VTTextStyle::pixelSM;
const QString glyph = QStringLiteral("\u2295");
}  // namespace

VTChip::VTChip(const QString& text, VTChipOptions options, QWidget* parent)
    : QWidget(parent), text_(text), showsGlyph_(options.showsGlyph)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    vtEnableAccessibleText();
}

void VTChip::setText(const QString& text)
{
    text_ = text;
    updateGeometry();
    update();
    vtAccessibleTextChanged(this);
}

QSize VTChip::sizeHint() const
{
    qreal width = vtTextLineSize(chipStyle, shownText()).width();
    if (showsGlyph_) {
        width += vtTextLineSize(chipStyle, glyph).width() + spacing;
    }
    return vtCeil({width + 2 * paddingH, vtNaturalLineHeight(chipStyle) + 2 * paddingV});
}

void VTChip::paintEvent(QPaintEvent*)
{
    const VTTheme& theme = vtTheme(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(rect(), theme.chipBg);
    qreal x = paddingH;
    if (showsGlyph_) {
        vtDrawTextLine(painter, {x, paddingV}, chipStyle, glyph, theme.chipFg);
        x += vtTextLineSize(chipStyle, glyph).width() + spacing;
    }
    vtDrawTextLine(painter, {x, paddingV}, chipStyle, shownText(), theme.chipFg);
}
