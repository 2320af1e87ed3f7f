#include "VemiTerminal/Components/VTWindow.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"
#include "VemiTerminal/Tokens/VTMetrics.hpp"
#include "VemiTerminal/Tokens/VTPalette.hpp"

#include <QFontMetricsF>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>

namespace {
constexpr int barPaddingH = 8;
constexpr int barPaddingV = 2;
constexpr int barSpacing = 8;
constexpr int spacerMinimum = 8;
constexpr int contentPadding = 12;
constexpr int shadowOffset = static_cast<int>(VTShadow::offset);
}  // namespace

VTWindow::VTWindow(const QString& title, const std::optional<QString>& control, bool active, bool vemiBody,
                   QWidget* parent)
    : QWidget(parent), title_(title), control_(control), active_(active), vemiBody_(vemiBody) {
    contentLayout_ = new QVBoxLayout(this);
    contentLayout_->setContentsMargins(contentPadding, titleBarHeight() + contentPadding, contentPadding,
                                       contentPadding);
    contentLayout_->setSpacing(0);
    contentLayout_->addStretch(1);
    shadow_ = new VTOverflowLayer(this, this, shadowOffset);
}

VTWindow::~VTWindow() { delete shadow_; }

void VTWindow::setContent(QWidget* content) {
    // No alignment: the content is offered the whole width (a flexible one fills it, a fixed one sits at the
    // left) and keeps its own height at the top, above the stretch.
    contentLayout_->insertWidget(0, content);
}

void VTWindow::setActive(bool active) {
    active_ = active;
    update();
}

QColor VTWindow::barBackground() const {
    if (vemiBody_) return VTPalette::ink();
    return active_ ? vtTheme(this).barBgActive : vtTheme(this).barBg;
}

QColor VTWindow::barForeground() const {
    if (vemiBody_) return VTPalette::vemi();
    return active_ ? vtTheme(this).barFgActive : vtTheme(this).barFg;
}

QColor VTWindow::contentForeground() const { return vemiBody_ ? VTPalette::ink() : vtTheme(this).fg; }

int VTWindow::titleBarHeight() const {
    return static_cast<int>(std::ceil(vtNaturalLineHeight(VTTextStyle::pixelMD))) + 2 * barPaddingV;
}

void VTWindow::paintWithOverflow(QPainter& painter) {
    const VTTheme& theme = vtTheme(this);
    const QRectF bounds = rect();
    painter.fillRect(bounds.translated(VTShadow::offset, VTShadow::offset), theme.shadowColor);
    painter.fillRect(bounds, vemiBody_ ? VTPalette::vemi() : theme.bgWindow);

    const qreal barHeight = titleBarHeight();
    painter.fillRect(QRectF(0, 0, bounds.width(), barHeight), barBackground());
    const VTTextStyle style = VTTextStyle::pixelMD;
    qreal titleRoom = bounds.width() - 2 * barPaddingH - barSpacing - spacerMinimum;
    if (control_) {
        const qreal controlWidth = vtTextLineSize(style, *control_).width();
        titleRoom -= barSpacing + controlWidth;
        vtDrawTextLine(painter, {bounds.width() - barPaddingH - controlWidth, barPaddingV}, style, *control_,
                       barForeground());
    }
    const QString title = QFontMetricsF(vtFont(style)).elidedText(title_, Qt::ElideRight, std::max(titleRoom, 0.0));
    vtDrawTextLine(painter, {barPaddingH, barPaddingV}, style, title, barForeground());

    vtStrokeInside(painter, bounds, theme.border, VTBorder::hair);
}

void VTWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    paintWithOverflow(painter);
}
