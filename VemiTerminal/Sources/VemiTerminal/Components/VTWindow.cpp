#include "VemiTerminal/Components/VTWindow.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"
#include "VemiTerminal/Tokens/VTMetrics.hpp"
#include "VemiTerminal/Tokens/VTPalette.hpp"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QVBoxLayout>
#include <cmath>

namespace {
constexpr int barPaddingH = 8;
constexpr int barPaddingV = 2;
constexpr int barSpacing = 8;
constexpr int spacerMinimum = 8;
constexpr int contentPadding = 12;
constexpr int shadowOffset = static_cast<int>(VTShadow::offset);
constexpr VTTextStyle barStyle = VTTextStyle::pixelMD;

qreal linePitch()
{
    return vtNaturalLineHeight(barStyle) + vtExtraLineSpacing(barStyle);
}

// `text` broken into lines no wider than `width` where possible: at spaces, else anywhere.
QStringList wrapped(const QString& text, qreal width)
{
    QTextLayout layout(text, vtFont(barStyle));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(width, 0.0));
        lines.append(text.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();
    return lines;
}
}  // namespace

VTWindow::VTWindow(const QString& title, const std::optional<QString>& control, VTWindowOptions options,
                   QWidget* parent)
    : QWidget(parent), title_(title), control_(control), active_(options.active), vemiBody_(options.vemiBody)
{
    // As tall as the content asks, however tall the column it stands in; only the width is flexible.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    contentLayout_ = new QVBoxLayout(this);
    contentLayout_->setSpacing(0);
    contentLayout_->addStretch(1);
    placeContent();
    shadow_ = new VTOverflowLayer(this, this, shadowOffset);
    vtEnableAccessibleText();
    vtTextStyle(this, barStyle);
    vtFollowTheme(this, [this] { followTheme(); });
}

VTWindow::~VTWindow()
{
    delete shadow_;
}

void VTWindow::setContent(QWidget* content)
{
    // No alignment: the content is offered the whole width (a flexible one fills it, a fixed one sits at the
    // left) and keeps its own height at the top, above the stretch.
    contentLayout_->insertWidget(0, content);
}

void VTWindow::followTheme()
{
    // The pink body keeps the light look whatever the theme: ink on pink, and fields and buttons on paper.
    const VTTheme& look = vemiBody_ ? VTTheme::vemi() : vtTheme(this);
    // A palette with no role set: only the roles set here become the window's own, the others still come from above.
    QPalette colours;
    const QPalette::ColorRole textRoles[] = {QPalette::WindowText, QPalette::Text, QPalette::ButtonText};
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        for (const QPalette::ColorRole role : textRoles) {
            colours.setColor(group, role, contentForeground());
        }
    }
    colours.setColor(QPalette::Disabled, QPalette::WindowText, vtDisabledInk(look, bodyBackground()));
    colours.setColor(QPalette::Disabled, QPalette::Text, vtDisabledInk(look, look.bgWindow));
    colours.setColor(QPalette::Disabled, QPalette::ButtonText, vtDisabledInk(look, look.bgWindow));
    if (vemiBody_) {
        for (const QPalette::ColorRole role : {QPalette::Base, QPalette::AlternateBase, QPalette::Button}) {
            colours.setColor(role, look.bgWindow);
        }
        colours.setColor(QPalette::PlaceholderText, look.fgMuted);
    }
    if (colours.resolve(palette()) != palette()) {
        setPalette(colours);
    }
}

void VTWindow::setActive(bool active)
{
    active_ = active;
    update();
}

QColor VTWindow::bodyBackground() const
{
    return vemiBody_ ? VTPalette::vemi() : vtTheme(this).bgWindow;
}

QColor VTWindow::barBackground() const
{
    if (vemiBody_) return VTPalette::ink();
    return active_ ? vtTheme(this).barBgActive : vtTheme(this).barBg;
}

QColor VTWindow::barForeground() const
{
    if (vemiBody_) return VTPalette::vemi();
    return active_ ? vtTheme(this).barFgActive : vtTheme(this).barFg;
}

QColor VTWindow::contentForeground() const
{
    return vemiBody_ ? VTPalette::ink() : vtTheme(this).fg;
}

int VTWindow::titleBarHeight() const
{
    return layOutBar(width()).height;
}

VTWindow::Bar VTWindow::layOutBar(qreal width) const
{
    Bar bar;
    const qreal titleWidth = vtTextLineSize(barStyle, title_).width();
    qreal textRoom = width - 2 * barPaddingH - barSpacing - spacerMinimum;
    qreal titleRoom = textRoom;
    if (control_) {
        // Title and control share the room; each keeps at least half of it, or all it needs when that is less.
        textRoom -= barSpacing;
        const qreal controlWidth = vtTextLineSize(barStyle, *control_).width();
        const qreal half = textRoom / 2;
        qreal controlRoom = controlWidth;
        if (titleWidth + controlWidth > textRoom) {
            controlRoom = titleWidth <= half ? textRoom - titleWidth : std::min(controlWidth, half);
        }
        bar.controlLines = controlWidth <= controlRoom ? QStringList{*control_} : wrapped(*control_, controlRoom);
        for (const QString& line : bar.controlLines) {
            bar.controlWidth = std::max(bar.controlWidth, vtTextLineSize(barStyle, line).width());
        }
        titleRoom = textRoom - std::min(bar.controlWidth, controlRoom);
    }
    bar.title = QFontMetricsF(vtFont(barStyle)).elidedText(title_, Qt::ElideRight, std::max(titleRoom, 0.0));

    // Both texts are centred on the bar's height, which the taller of the two sets.
    const qreal titleHeight = vtNaturalLineHeight(barStyle);
    const auto lineCount = static_cast<qreal>(std::max<qsizetype>(bar.controlLines.size(), 1));
    const qreal controlHeight = linePitch() * (lineCount - 1) + titleHeight;
    bar.titleTop = barPaddingV + std::max(controlHeight - titleHeight, 0.0) / 2;
    bar.controlTop = barPaddingV + std::max(titleHeight - controlHeight, 0.0) / 2;
    bar.height = static_cast<int>(std::ceil(std::max(titleHeight, controlHeight))) + 2 * barPaddingV;
    return bar;
}

void VTWindow::placeContent()
{
    const int top = titleBarHeight() + contentPadding;
    if (contentLayout_->contentsMargins().top() != top) {
        contentLayout_->setContentsMargins(contentPadding, top, contentPadding, contentPadding);
    }
}

void VTWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeContent();
}

void VTWindow::paintWithOverflow(QPainter& painter)
{
    const VTTheme& theme = vtTheme(this);
    const QRectF bounds = rect();
    painter.fillRect(bounds.translated(VTShadow::offset, VTShadow::offset), theme.shadowColor);
    painter.fillRect(bounds, bodyBackground());

    const Bar bar = layOutBar(bounds.width());
    painter.fillRect(QRectF(0, 0, bounds.width(), bar.height), barBackground());
    painter.save();
    // Whatever the width, the texts stay between the bar's paddings.
    painter.setClipRect(QRectF(barPaddingH, 0, bounds.width() - 2 * barPaddingH, bar.height));
    qreal controlTop = bar.controlTop;
    for (const QString& line : bar.controlLines) {
        vtDrawTextLine(painter, {bounds.width() - barPaddingH - bar.controlWidth, controlTop}, barStyle, line,
                       barForeground());
        controlTop += linePitch();
    }
    vtDrawTextLine(painter, {barPaddingH, bar.titleTop}, barStyle, bar.title, barForeground());
    painter.restore();

    vtStrokeInside(painter, bounds, theme.border, VTBorder::hair);
}

void VTWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    paintWithOverflow(painter);
}
