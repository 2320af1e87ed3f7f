#include "VemiTerminal/Components/VTTextField.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"
#include "VemiTerminal/Tokens/VTMetrics.hpp"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {
constexpr int paddingH = 8;
constexpr int paddingV = 6;
// QLineEdit keeps this much room of its own left and right of the text, inside the text margins.
constexpr int lineEditInnerMargin = 2;
constexpr VTTextStyle fieldStyle = VTTextStyle::pixelMD;

QPainterPath roundedRect(const QRectF& rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}
}  // namespace

VTTextField::VTTextField(const QString& placeholder, QWidget* parent) : QLineEdit(parent)
{
    setPlaceholderText(placeholder);
    setAccessibleName(placeholder);
    setFrame(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setTextMargins(paddingH - lineEditInnerMargin, paddingV, paddingH - lineEditInnerMargin, paddingV);
    vtTextStyle(this, fieldStyle);
    vtFollowTheme(this, [this] { followTheme(); });
}

QSize VTTextField::sizeHint() const
{
    const int height = static_cast<int>(std::ceil(vtNaturalLineHeight(fieldStyle))) + 2 * paddingV;
    return {200, height};
}

QSize VTTextField::minimumSizeHint() const
{
    return {2 * paddingH + 16, sizeHint().height()};
}

void VTTextField::followTheme()
{
    const VTTheme& theme = vtTheme(this);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::transparent);
    colours.setColor(QPalette::Text, theme.fg);
    colours.setColor(QPalette::PlaceholderText, theme.fgMuted);
    colours.setColor(QPalette::Highlight, theme.btnBg);
    colours.setColor(QPalette::HighlightedText, theme.btnFg);
    if (colours != palette()) {
        setPalette(colours);
    }
}

void VTTextField::paintEvent(QPaintEvent* event)
{
    const VTTheme& theme = vtTheme(this);
    const QRectF bounds = rect();
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(roundedRect(bounds, VTRadius::sm), theme.bgWindow);
    }
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal width = borderWidth();
    const qreal half = width / 2;
    vtStrokePath(painter, roundedRect(bounds.adjusted(half, half, -half, -half), VTRadius::sm - half),
                 vtPen(theme.border, width));
}

void VTTextField::focusInEvent(QFocusEvent* event)
{
    focused_ = true;
    update();
    QLineEdit::focusInEvent(event);
}

void VTTextField::focusOutEvent(QFocusEvent* event)
{
    focused_ = false;
    update();
    QLineEdit::focusOutEvent(event);
}
