#include "Tilvane/Views/PresetActionButton.hpp"

#include "Tilvane/Views/PixelIcons.hpp"

#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QPainter>

namespace tilvane {

namespace {
constexpr int labelWidth = 16;
constexpr int labelHeight = 22;
constexpr int paddingH = 8;
constexpr int paddingV = 5;
constexpr int pressOffset = 2;
}  // namespace

PresetActionButton::PresetActionButton(const QString& title, const QString& symbol, QWidget* parent)
    : VTButton(QString(), vtPixel, parent), symbol_(symbol)
{
    setToolTip(title);
    setAccessibleName(title);
}

QSize PresetActionButton::sizeHint() const
{
    return {labelWidth + 2 * paddingH, labelHeight + 2 * paddingV};
}

void PresetActionButton::paintWithOverflow(QPainter& painter)
{
    VTButton::paintWithOverflow(painter);
    const int shift = isDown() ? pressOffset : 0;
    const QPoint origin(paddingH + shift, paddingV + (labelHeight - pixelIconSide) / 2 + shift);
    painter.save();
    if (!isEnabled()) painter.setOpacity(0.4);
    drawPixelIcon(painter, symbol_, origin, vtTheme(this).fg);
    painter.restore();
}

}  // namespace tilvane
