#include "VemiTerminal/Catalog/VTCatalogView.hpp"

#include "VemiTerminal/Components/VTButton.hpp"
#include "VemiTerminal/Components/VTChip.hpp"
#include "VemiTerminal/Components/VTCropFrame.hpp"
#include "VemiTerminal/Components/VTDisplayText.hpp"
#include "VemiTerminal/Components/VTFeature.hpp"
#include "VemiTerminal/Components/VTGlyph.hpp"
#include "VemiTerminal/Components/VTKeyboardFocus.hpp"
#include "VemiTerminal/Components/VTNavBar.hpp"
#include "VemiTerminal/Components/VTText.hpp"
#include "VemiTerminal/Components/VTTextField.hpp"
#include "VemiTerminal/Components/VTWindow.hpp"
#include "VemiTerminal/Theme/VTBackground.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

constexpr int sectionPadding = 24;
const QString control = QStringLiteral("\u25A2");
const QString run = QStringLiteral("Executar \u25B8");

QWidget* column(int spacing, const QList<QWidget*>& children, QMargins margins = {})
{
    auto* widget = new QWidget;
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(margins);
    layout->setSpacing(spacing);
    for (QWidget* child : children) {
        layout->addWidget(child, 0, Qt::AlignLeft);
    }
    return widget;
}

QHBoxLayout* row(QWidget* owner, int spacing, QMargins margins, Qt::Alignment alignment,
                 const QList<QWidget*>& children)
{
    auto* layout = new QHBoxLayout(owner);
    layout->setContentsMargins(margins);
    layout->setSpacing(spacing);
    for (QWidget* child : children) {
        layout->addWidget(child, 0, alignment);
    }
    layout->addStretch(1);
    return layout;
}

// A titled section: the caption on the page, then the content across the full width.
QWidget* section(const QString& title, QWidget* content)
{
    auto* widget = new QWidget;
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(column(0, {new VTLabel(title)}, {sectionPadding, sectionPadding, sectionPadding, 12}));
    layout->addWidget(content);
    return widget;
}

// One option of the segmented theme picker: the chosen one filled with the tint. Neighbours share one divider.
class Segment : public QAbstractButton {
public:
    Segment(const QString& title, bool first) : first_(first), keyboardFocus_(new VTKeyboardFocus(this))
    {
        setText(title);
        setCheckable(true);
        setAutoExclusive(true);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        return {metrics.horizontalAdvance(text()) + 16, metrics.height() + 8};
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const VTTheme& theme = vtTheme(this);
        QPainter painter(this);
        painter.fillRect(rect(), isChecked() ? theme.btnBg : theme.bgWindow);
        vtStrokeInside(painter, first_ ? QRectF(rect()) : QRectF(rect()).adjusted(-1, 0, 0, 0), theme.border);
        painter.setPen(isChecked() ? theme.btnFg : theme.fg);
        painter.drawText(rect(), Qt::AlignCenter, text());
        if (keyboardFocus_->isShown()) {
            vtDrawKeyboardFocus(painter, rect(), theme.fg);
        }
    }

private:
    bool first_;
    VTKeyboardFocus* keyboardFocus_;
};

QWidget* framed(VTWindow* frame, int width, QWidget* content)
{
    frame->setFixedWidth(width);
    frame->setContent(content);
    return frame;
}

}  // namespace

VTCatalogView::VTCatalogView(QWidget* parent) : QWidget(parent)
{
    page_ = new QWidget;
    auto* stack = new QVBoxLayout(page_);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(makeNavigationBar());
    for (QWidget* part :
         {section(QStringLiteral("Janelas"), makeWindows()), section(QStringLiteral("Features"), makeFeatures()),
          section(QStringLiteral("Número-herói"), makeHeadline()), section(QStringLiteral("Controles"), makeControls()),
          section(QStringLiteral("Tipografia"), makeTypography())}) {
        stack->addWidget(part);
    }
    stack->addStretch(1);

    scroll_ = new QScrollArea;
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setWidget(page_);
    scroll_->viewport()->setAutoFillBackground(false);
    page_->setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll_);
    vtPage(this);
    vemiTerminal(this, appearance_);
}

void VTCatalogView::setAppearance(VTAppearance appearance)
{
    appearance_ = appearance;
    vemiTerminal(this, appearance_);
    const auto buttons = findChildren<QAbstractButton*>(QStringLiteral("appearance:") + vtRawValue(appearance));
    for (QAbstractButton* button : buttons) {
        button->setChecked(true);
    }
}

QSize VTCatalogView::fullPageSize(int width) const
{
    const int height = page_->hasHeightForWidth() ? page_->heightForWidth(width) : page_->sizeHint().height();
    return {width, std::max(height, page_->minimumSizeHint().height())};
}

QWidget* VTCatalogView::makeNavigationBar()
{
    auto* bar = new VTNavBar(QStringLiteral("Vemi Terminal"), 16);
    bar->addCenter(new VTNavLink(QStringLiteral("Manifesto")));
    bar->addCenter(new VTNavLink(QStringLiteral("Docs")));

    auto* picker = new QWidget;
    picker->setAccessibleName(QStringLiteral("Tema"));
    picker->setFixedWidth(220);
    auto* segments = new QHBoxLayout(picker);
    segments->setContentsMargins(0, 0, 0, 0);
    segments->setSpacing(0);
    const std::pair<VTAppearance, QString> options[] = {{VTAppearance::system, QStringLiteral("Sistema")},
                                                        {VTAppearance::vemi, QStringLiteral("Vemi")},
                                                        {VTAppearance::noite, QStringLiteral("Noite")}};
    for (const auto& [appearance, title] : options) {
        auto* option = new Segment(title, appearance == options[0].first);
        option->setObjectName(QStringLiteral("appearance:") + vtRawValue(appearance));
        option->setChecked(appearance == appearance_);
        segments->addWidget(option, 1);
        connect(option, &QAbstractButton::clicked, this,
                [this, appearance = appearance] { setAppearance(appearance); });
    }
    bar->addTrailing(picker);
    return bar;
}

QWidget* VTCatalogView::makeWindows()
{
    auto* chips = new QWidget;
    row(chips, 4, {}, Qt::AlignVCenter,
        {new VTChip(QStringLiteral("tipado"), {.showsGlyph = true}),
         new VTChip(QStringLiteral("rápido"), {.showsGlyph = true})});
    auto* kedu = framed(new VTWindow(QStringLiteral("KEDU"), control), 240,
                        column(8, {new VTGlyph(QStringLiteral("KEDU")),
                                   new VTText(QStringLiteral("decisões calibradas"), VTTextStyle::pixelMD), chips,
                                   new VTButton(run, vtPixel)}));
    auto* clock = framed(new VTWindow(QStringLiteral("Clock Tool 1.1"), control, {.active = true}), 220,
                         new VTText(QStringLiteral("Quarta, 23 set 2026\n13:30:37"), VTTextStyle::pixelMD));
    auto* glider = framed(new VTWindow(QStringLiteral("Glider 1.1"), control, {.vemiBody = true}), 180,
                          new VTText(QStringLiteral("game of life"), VTTextStyle::pixelMD));
    auto* content = new QWidget;
    row(content, 24, QMargins(sectionPadding, sectionPadding, sectionPadding, sectionPadding), Qt::AlignTop,
        {kedu, clock, glider});
    vtSection(content, {.dotted = true});
    return content;
}

QWidget* VTCatalogView::makeFeatures()
{
    auto* features = new VTFeatureRow;
    features->addFeature(new VTFeature(QStringLiteral("Decisões, Não Strings"),
                                       QStringLiteral("Saídas tipadas em que o software pode agir.")));
    features->addFeature(new VTFeature(QStringLiteral("Confiança Calibrada"),
                                       QStringLiteral("Cada decisão traz uma estimativa de confiança.")));
    features->addFeature(
        new VTFeature(QStringLiteral("Mais Como Código"), QStringLiteral("Confiável, rápido e type-safe.")));
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(sectionPadding, sectionPadding, sectionPadding, sectionPadding);
    layout->addWidget(features);
    vtSection(content);
    return content;
}

QWidget* VTCatalogView::makeHeadline()
{
    auto* frame = new VTCropFrame(column(
        16, {new VTDisplayText(QStringLiteral("193.6x Mais Rápido,\n444.6x Mais Barato."), VTTextStyle::displayMD),
             new VTFootnote(QStringLiteral("*Baseado em workflows de tarefas de Sistema 1"))}));
    auto* content = new QWidget;
    row(content, 0, {}, Qt::AlignTop, {frame});
    vtSection(content);
    return content;
}

QWidget* VTCatalogView::makeControls()
{
    auto* search = new VTTextField(QStringLiteral("Buscar"));
    search->setFixedWidth(200);
    connect(search, &QLineEdit::textChanged, this, [this](const QString& text) { query_ = text; });
    auto* content = new QWidget;
    row(content, 16, QMargins(sectionPadding, sectionPadding, sectionPadding, sectionPadding), Qt::AlignVCenter,
        {new VTButton(QStringLiteral("Fale Com Vendas"), vtPrimary), new VTButton(QStringLiteral("Entrar"), vtGhost),
         new VTButton(run, vtPixel), search, new VTChip(QStringLiteral("v0.01"))});
    return content;
}

QWidget* VTCatalogView::makeTypography()
{
    QList<QWidget*> lines;
    for (VTTextStyle style : vtAllTextStyles) {
        const VTTextStyle shown = style == VTTextStyle::displayXL ? VTTextStyle::displayMD : style;
        lines.append(
            new VTText(vtCaseName(style) + QStringLiteral(" — Tomamos a direção oposta"), shown, &VTTheme::fg));
    }
    return column(12, lines, QMargins(sectionPadding, sectionPadding, sectionPadding, sectionPadding));
}
