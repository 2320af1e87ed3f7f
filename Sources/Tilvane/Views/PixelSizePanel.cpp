#include "Tilvane/Views/PixelSizePanel.hpp"

#include "Tilvane/Views/InspectorLayout.hpp"
#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/WrappedText.hpp"
#include "VemiTerminal/Components/VTButton.hpp"
#include "VemiTerminal/Components/VTGlyph.hpp"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace tilvane {
namespace {

QString badgeText(std::int64_t pixelSize)
{
    return QStringLiteral("%1 PX").arg(pixelSize);
}

}  // namespace

PixelSizePanel::PixelSizePanel(QWidget* parent) : VisualPanel(QStringLiteral("Pixel"), false, parent)
{
    auto* column = addContentColumn(*this, 12);

    badgeRow_ = new QHBoxLayout;
    badgeRow_->addStretch(1);
    auto* decrease = new VTButton(QStringLiteral("−"), vtPixel);
    decrease->setObjectName(QStringLiteral("pixelDecrease"));
    decrease->setAccessibleName(QStringLiteral("Diminuir pixel"));
    connect(decrease, &QAbstractButton::clicked, this,
            [this] { writePixelSize(std::max<std::int64_t>(visual().pixelSize - 1, smallest)); });
    auto* increase = new VTButton(QStringLiteral("+"), vtPixel);
    increase->setObjectName(QStringLiteral("pixelIncrease"));
    increase->setAccessibleName(QStringLiteral("Aumentar pixel"));
    connect(increase, &QAbstractButton::clicked, this,
            [this] { writePixelSize(std::min<std::int64_t>(visual().pixelSize + 1, largest)); });
    badgeRow_->addWidget(decrease);
    badgeRow_->addWidget(increase);
    column->addLayout(badgeRow_);

    slider_ = new PixelSlider(smallest, largest, QStringLiteral("Tamanho do pixel"));
    slider_->setObjectName(QStringLiteral("pixelSizeSlider"));
    connect(slider_, &PixelSlider::valueEdited, this, [this](int value) { writePixelSize(value); });
    column->addWidget(slider_);
    // Wraps where a scroll bar leaves the column too narrow for one line.
    column->addWidget(
        new WrappedText(QStringLiteral("Lado De Cada Bloco, De 2 A 40 Px"), VTTextStyle::pixelSM, &VTTheme::fgMuted));
}

void PixelSizePanel::writePixelSize(std::int64_t pixelSize)
{
    edit([pixelSize](VisualSettings& visual) { visual.pixelSize = pixelSize; });
}

void PixelSizePanel::refresh()
{
    const auto text = badgeText(visual().pixelSize);
    if (badge_ == nullptr || badge_->accessibleName() != text) {
        // The kit's badge takes its text once; a new size gets a new badge.
        delete badge_;
        badge_ = new VTGlyph(text);
        badge_->setObjectName(QStringLiteral("pixelSizeBadge"));
        badge_->setAccessibleName(text);
        badgeRow_->insertWidget(0, badge_);
    }
    slider_->setValue(static_cast<int>(visual().pixelSize));
}

}  // namespace tilvane
