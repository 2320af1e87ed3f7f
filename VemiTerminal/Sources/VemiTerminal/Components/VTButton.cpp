#include "VemiTerminal/Components/VTButton.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Components/VTKeyboardFocus.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"
#include "VemiTerminal/Tokens/VTMetrics.hpp"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr qreal pressOffset = 2;
constexpr int overflowMargin = static_cast<int>(VTShadow::offset + pressOffset);

struct Look {
    VTTextStyle style;
    qreal paddingV;
    qreal paddingH;
};

Look look(VTButtonStyle::Kind kind)
{
    switch (kind) {
    case VTButtonStyle::Kind::primary:
    case VTButtonStyle::Kind::ghost:
        return {VTTextStyle::nav, 6, 8};
    case VTButtonStyle::Kind::pixel:
    case VTButtonStyle::Kind::pixelPink:
        return {VTTextStyle::pixelMD, 5, 8};
    }
    return {VTTextStyle::nav, 6, 8};
}

}  // namespace

VTButton::VTButton(const QString& text, VTButtonStyle style, QWidget* parent)
    : QAbstractButton(parent), style_(style), keyboardFocus_(new VTKeyboardFocus(this))
{
    setText(text);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
    if (isPixel()) {
        overflow_ = new VTOverflowLayer(this, this, overflowMargin);
    }
}

VTButton::~VTButton()
{
    delete overflow_;
}

bool VTButton::isPixel() const
{
    return style_.kind == VTButtonStyle::Kind::pixel || style_.kind == VTButtonStyle::Kind::pixelPink;
}

void VTButton::setLabelWidth(std::optional<qreal> width)
{
    if (labelWidth_ == width) {
        return;
    }
    labelWidth_ = width;
    updateGeometry();
    update();
}

void VTButton::fitLabelWidth(const QStringList& labels)
{
    const VTTextStyle style = look(style_.kind).style;
    qreal widest = 0;
    for (const QString& label : labels) {
        widest = std::max(widest, vtTextLineSize(style, label).width());
    }
    setLabelWidth(widest);
}

QSize VTButton::sizeHint() const
{
    const Look buttonLook = look(style_.kind);
    const QSizeF label = vtTextLineSize(buttonLook.style, text());
    return vtCeil(
        {labelWidth_.value_or(label.width()) + 2 * buttonLook.paddingH, label.height() + 2 * buttonLook.paddingV});
}

QPointF VTButton::labelOrigin() const
{
    const Look buttonLook = look(style_.kind);
    if (!labelWidth_) {
        return {buttonLook.paddingH, buttonLook.paddingV};
    }
    const qreal textWidth = vtTextLineSize(buttonLook.style, text()).width();
    return {buttonLook.paddingH + std::round((*labelWidth_ - textWidth) / 2), buttonLook.paddingV};
}

void VTButton::paintWithOverflow(QPainter& painter)
{
    if (isEnabled()) {
        paintLook(painter);
        return;
    }
    // Disabled: the whole look (shadow included) composited once, then laid down at opacity 0.4.
    const qreal ratio = painter.device()->devicePixelRatioF();
    const QSize extent = size() + QSize(overflowMargin, overflowMargin);
    QImage layer(extent * ratio, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    {
        QPainter layerPainter(&layer);
        layerPainter.setRenderHints(painter.renderHints());
        paintLook(layerPainter);
    }
    painter.save();
    painter.setOpacity(0.4);
    painter.drawImage(QPointF(0, 0), layer);
    painter.restore();
}

void VTButton::paintLook(QPainter& painter)
{
    const VTTheme& theme = vtTheme(this);
    const Look buttonLook = look(style_.kind);
    const QRectF bounds = rect();
    const QPointF labelOrigin = this->labelOrigin();
    switch (style_.kind) {
    case VTButtonStyle::Kind::primary:
        painter.fillRect(bounds, hovering_ || isDown() ? theme.btnBgHover : theme.btnBg);
        vtDrawTextLine(painter, labelOrigin, buttonLook.style, text(), theme.btnFg);
        break;
    case VTButtonStyle::Kind::ghost: {
        vtDrawTextLine(painter, labelOrigin, buttonLook.style, text(), theme.fgMuted);
        if (hovering_) {
            const QFontMetricsF metrics(vtFont(buttonLook.style));
            const qreal baseline =
                labelOrigin.y() + (vtNaturalLineHeight(buttonLook.style) - metrics.height()) / 2 + metrics.ascent();
            const qreal y = std::round(baseline + metrics.underlinePos());
            const qreal width = vtTextLineSize(buttonLook.style, text()).width();
            painter.fillRect(QRectF(labelOrigin.x(), y, width, std::max<qreal>(1, metrics.lineWidth())), theme.fgMuted);
        }
        break;
    }
    case VTButtonStyle::Kind::pixel:
    case VTButtonStyle::Kind::pixelPink: {
        const qreal shift = isDown() ? pressOffset : 0;
        const qreal shadow = isDown() ? 0 : VTShadow::offset;
        const QRectF body = bounds.translated(shift, shift);
        painter.fillRect(body.translated(shadow, shadow), theme.shadowColor);
        painter.fillRect(body, style_.kind == VTButtonStyle::Kind::pixel ? theme.bgWindow : theme.btnBg);
        vtDrawTextLine(painter, labelOrigin + QPointF(shift, shift), buttonLook.style, text(), theme.fg);
        vtStrokeInside(painter, body, theme.border, VTBorder::hair);
        if (keyboardFocus_->isShown()) {
            vtDrawKeyboardFocus(painter, body, theme.fg);
        }
        return;
    }
    }
    if (keyboardFocus_->isShown()) {
        vtDrawKeyboardFocus(painter, bounds, theme.fg);
    }
}

void VTButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    paintWithOverflow(painter);
}

void VTButton::enterEvent(QEnterEvent* event)
{
    hovering_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void VTButton::leaveEvent(QEvent* event)
{
    hovering_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}
