#include "VemiTerminal/Components/VTNavBar.hpp"

#include "VemiTerminal/Components/VTAccessibleText.hpp"
#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Theme/VTResources.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QHBoxLayout>
#include <QPainter>
#include <QTextBoundaryFinder>

namespace {

constexpr VTTextStyle brandStyle = VTTextStyle::pixelLG;
constexpr QSize iconSize(55, 44);
// The least room between the brand, the centre group and the trailing group; a narrow bar shortens the centre.
constexpr int groupGap = 16;

const std::optional<QImage>& brandIcon()
{
    static const std::optional<QImage> icon = vtLoadBrandIcon(VTResources::bundlePath());
    return icon;
}

// The brand word: muted head, pink tail.
class BrandWord : public QWidget, public VTAccessibleText {
public:
    explicit BrandWord(const QString& brand) : parts_(VTNavBar::splitBrand(brand))
    {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        vtEnableAccessibleText();
    }

    QString accessibleText() const override { return parts_.first + parts_.second; }

    QSize sizeHint() const override
    {
        return vtCeil(
            {vtTextLineSize(brandStyle, parts_.first).width() + vtTextLineSize(brandStyle, parts_.second).width(),
             vtNaturalLineHeight(brandStyle)});
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::TextAntialiasing);
        vtDrawTextLine(painter, {0, 0}, brandStyle, parts_.first, vtTheme(this).fgMuted);
        vtDrawTextLine(painter, {vtTextLineSize(brandStyle, parts_.first).width(), 0}, brandStyle, parts_.second,
                       VTNavBar::brandPink());
    }

private:
    std::pair<QString, QString> parts_;
};

// The brand icon stretched to 55 × 44 without smoothing.
class BrandIcon : public QWidget {
public:
    explicit BrandIcon(const QImage& image) : image_(image) { setFixedSize(iconSize); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(QRectF(rect()), image_);
    }

private:
    QImage image_;
};

QHBoxLayout* group(int spacing)
{
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

}  // namespace

VTNavBar::VTNavBar(const QString& brand, qreal leadingInset, QWidget* parent)
    : VTNavBar(brand, leadingInset, brandIcon(), parent)
{
}

VTNavBar::VTNavBar(const QString& brand, qreal leadingInset, const std::optional<QImage>& icon, QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(static_cast<int>(leadingInset), 8, 0, 8);
    layout->setSpacing(0);
    layout->addWidget(new BrandWord(brand), 0, Qt::AlignVCenter);
    if (icon) {
        layout->addWidget(new BrandIcon(*icon), 0, Qt::AlignVCenter);
    }
    center_ = group(16);
    trailing_ = group(8);
    layout->addSpacerItem(new QSpacerItem(groupGap, 0, QSizePolicy::MinimumExpanding, QSizePolicy::Minimum));
    layout->addLayout(center_);
    layout->addSpacerItem(new QSpacerItem(groupGap, 0, QSizePolicy::MinimumExpanding, QSizePolicy::Minimum));
    layout->addLayout(trailing_);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void VTNavBar::addCenter(QWidget* widget)
{
    center_->addWidget(widget, 0, Qt::AlignVCenter);
}

void VTNavBar::addTrailing(QWidget* widget)
{
    trailing_->addWidget(widget, 0, Qt::AlignVCenter);
}

std::pair<QString, QString> VTNavBar::splitBrand(const QString& brand)
{
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, brand);
    graphemes.toEnd();
    for (int step = 0; step < 2 && graphemes.position() > 0; ++step) {
        graphemes.toPreviousBoundary();
    }
    const qsizetype split = std::max<qsizetype>(graphemes.position(), 0);
    return {brand.left(split), brand.mid(split)};
}

QColor VTNavBar::brandPink()
{
    return QColor::fromRgbF(1.0f, 119.0f / 255.0f, 168.0f / 255.0f, 1.0f);
}

void VTNavBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), vtTheme(this).bgPage);
}

VTNavLink::VTNavLink(const QString& title, QWidget* parent) : VTButton(title, vtGhost, parent) {}

std::optional<QImage> vtLoadBrandIcon(const QString& resourceFolder)
{
    QImage image(resourceFolder + QStringLiteral("/tilvane-icon-transparent-small.png"));
    if (image.isNull()) {
        return std::nullopt;
    }
    return image;
}
