#include "Tilvane/Views/WrappedText.hpp"

#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace tilvane {

namespace {
constexpr int preferredWidth = 200;
constexpr int narrowestWidth = 40;
constexpr int unboundedHeight = 100000;
constexpr int unboundedWidth = 100000;
}  // namespace

WrappedText::WrappedText(const QString& text, VTTextStyle style, Role role, QWidget* parent)
    : QWidget(parent), text_(text), style_(style), role_(role)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    vtEnableAccessibleText();
}

void WrappedText::setText(const QString& text, const QString& spoken)
{
    if (text_ == text && spoken_ == spoken) return;
    text_ = text;
    spoken_ = spoken;
    vtAccessibleTextChanged(this);
    updateGeometry();
    update();
}

int WrappedText::heightForWidth(int width) const
{
    return QFontMetrics(vtFont(style_))
        .boundingRect(QRect(0, 0, std::max(width, 1), unboundedHeight), Qt::TextWordWrap, text_)
        .height();
}

QSize WrappedText::sizeHint() const
{
    // As wide as the text on one line, up to the preferred width, so that what follows it in a row stays beside it.
    const int oneLine = QFontMetrics(vtFont(style_))
                            .boundingRect(QRect(0, 0, unboundedWidth, unboundedHeight), Qt::TextWordWrap, text_)
                            .width();
    const int width = std::min(preferredWidth, oneLine);
    return {width, heightForWidth(width)};
}

QSize WrappedText::minimumSizeHint() const
{
    // The height its layout gives it follows the width (heightForWidth); the least is the text unwrapped.
    return {narrowestWidth, heightForWidth(unboundedWidth)};
}

void WrappedText::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(vtFont(style_));
    painter.setPen(vtTheme(this).*role_);
    painter.drawText(rect(), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text_);
}

}  // namespace tilvane
