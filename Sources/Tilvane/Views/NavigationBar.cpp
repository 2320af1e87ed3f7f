#include "Tilvane/Views/NavigationBar.hpp"

#include "Tilvane/Editor/EditorPresentation.hpp"
#include "VemiTerminal/Components/VTButton.hpp"
#include "VemiTerminal/Components/VTChip.hpp"
#include "VemiTerminal/Components/VTNavBar.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"
#include "VemiTerminal/Tokens/VTTextStyle.hpp"

#include <QHBoxLayout>
#include <QPainter>

namespace tilvane {

namespace {

// One line of muted text, shortened in the middle when it does not fit.
class SubtitleText : public QWidget {
public:
    SubtitleText()
    {
        setObjectName(QStringLiteral("subtitle"));
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        setMinimumWidth(80);
    }

    QString text() const { return text_; }
    void setText(const QString& text)
    {
        if (text_ == text) return;
        text_ = text;
        setAccessibleName(text);
        updateGeometry();
        update();
    }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(vtFont(VTTextStyle::pixelSM));
        return {metrics.horizontalAdvance(text_) + 2, static_cast<int>(vtLineHeight(VTTextStyle::pixelSM)) + 4};
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QFont font = vtFont(VTTextStyle::pixelSM);
        painter.setFont(font);
        painter.setPen(vtTheme(this).fgMuted);
        painter.drawText(rect(), Qt::AlignVCenter | Qt::AlignLeft,
                         QFontMetrics(font).elidedText(text_, Qt::ElideMiddle, width()));
    }

private:
    QString text_;
};

// "Abrir" and the theme button keep one width, so switching themes moves nothing.
constexpr qreal fixedLabelWidth = 64;

VTButton* button(const QString& title, VTButtonStyle style, const char* objectName)
{
    auto* result = new VTButton(title, style);
    result->setObjectName(QLatin1String(objectName));
    return result;
}

QHBoxLayout* row(QWidget* owner, int spacing)
{
    auto* layout = new QHBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

}  // namespace

NavigationBar::NavigationBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("navigationBar"));
    auto* bar = new VTNavBar(QStringLiteral("Tilvane"), 16);

    auto* centre = new QWidget;
    auto* centreRow = row(centre, 0);
    subtitle_ = new SubtitleText;
    chip_ = new VTChip(QString());
    chip_->setObjectName(QStringLiteral("statusChip"));
    centreRow->addWidget(subtitle_, 1, Qt::AlignVCenter);
    centreRow->addWidget(chip_, 0, Qt::AlignVCenter);
    bar->addCenter(centre);

    auto* trailing = new QWidget;
    auto* trailingRow = row(trailing, 8);
    trailingRow->setContentsMargins(8, 0, 16, 0);
    openButton_ = button(QStringLiteral("Abrir"), vtPixel, "openButton");
    themeButton_ = button(QStringLiteral("Vemi"), vtPixel, "themeButton");
    for (auto* fixed : {openButton_, themeButton_}) fixed->setLabelWidth(fixedLabelWidth);
    themeButton_->setToolTip(QStringLiteral("Alternar entre o tema escuro (Noite) e o claro (Vemi)"));
    exportPNGButton_ = button(QStringLiteral("Exportar PNG"), vtPixelPink, "exportPNGButton");
    exportGIFButton_ = button(QStringLiteral("Exportar GIF"), vtPixelPink, "exportGIFButton");
    // Each export button is as wide as its widest label, so "Exportando…" moves none of the bar's buttons.
    for (auto* exportButton : {exportPNGButton_, exportGIFButton_}) {
        exportButton->fitLabelWidth(editor_presentation::exportTitles(exportButton->text()));
    }
    for (auto* each : {openButton_, themeButton_, exportPNGButton_, exportGIFButton_}) trailingRow->addWidget(each);
    bar->addTrailing(trailing);

    connect(openButton_, &QAbstractButton::clicked, this, &NavigationBar::openClicked);
    connect(themeButton_, &QAbstractButton::clicked, this, &NavigationBar::themeClicked);
    connect(exportPNGButton_, &QAbstractButton::clicked, this, &NavigationBar::exportPNGClicked);
    connect(exportGIFButton_, &QAbstractButton::clicked, this, &NavigationBar::exportGIFClicked);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->addWidget(bar);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void NavigationBar::setState(const ContentViewState& state)
{
    namespace presentation = editor_presentation;
    static_cast<SubtitleText*>(subtitle_)->setText(presentation::subtitle(state));
    const auto chip = presentation::statusChip(state);
    chip_->setVisible(chip.has_value());
    if (chip) chip_->setText(*chip);
    themeButton_->setText(presentation::themeButtonLabel(state.appearance));
    const bool exportsDisabled = presentation::exportsDisabled(state);
    exportPNGButton_->setText(presentation::exportTitle(state, QStringLiteral("Exportar PNG")));
    exportGIFButton_->setText(presentation::exportTitle(state, QStringLiteral("Exportar GIF")));
    exportPNGButton_->setDisabled(exportsDisabled);
    exportGIFButton_->setDisabled(exportsDisabled);
}

}  // namespace tilvane
