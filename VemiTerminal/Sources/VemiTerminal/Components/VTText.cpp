#include "VemiTerminal/Components/VTText.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Components/VTWindow.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QPainter>

VTText::VTText(const QString& text, VTTextStyle style, Role role, QWidget* parent)
    : QWidget(parent), text_(text), style_(style), role_(role)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    vtEnableAccessibleText();
}

void VTText::setText(const QString& text)
{
    text_ = text;
    updateGeometry();
    update();
    vtAccessibleTextChanged(this);
}

QSize VTText::sizeHint() const
{
    const QStringList lines = text_.split(u'\n');
    qreal width = 0;
    for (const QString& line : lines) {
        width = std::max(width, vtTextLineSize(style_, line).width());
    }
    const qreal pitch = vtNaturalLineHeight(style_) + vtExtraLineSpacing(style_);
    return vtCeil({width, pitch * (lines.size() - 1) + vtNaturalLineHeight(style_)});
}

QSize VTText::minimumSizeHint() const
{
    return sizeHint();
}

void VTText::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QColor colour = role_ != nullptr ? vtTheme(this).*role_ : vtForeground(this);
    const qreal pitch = vtNaturalLineHeight(style_) + vtExtraLineSpacing(style_);
    qreal top = 0;
    for (const QString& line : text_.split(u'\n')) {
        vtDrawTextLine(painter, {0, top}, style_, line, colour);
        top += pitch;
    }
}

QColor vtForeground(const QWidget* widget)
{
    for (const QWidget* current = widget->parentWidget(); current != nullptr; current = current->parentWidget()) {
        if (const auto* window = qobject_cast<const VTWindow*>(current)) {
            return window->contentForeground();
        }
    }
    return vtTheme(widget).fg;
}

VTLabel::VTLabel(const QString& text, QWidget* parent) : VTText(text, VTTextStyle::label, &VTTheme::fgMuted, parent) {}

VTFootnote::VTFootnote(const QString& text, QWidget* parent)
    : VTText(text, VTTextStyle::labelMD, &VTTheme::fgMuted, parent)
{
}
