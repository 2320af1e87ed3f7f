#include "Tilvane/Views/ComparisonView.hpp"

#include "Tilvane/Views/ImageView.hpp"
#include "VemiTerminal/Components/VTButton.hpp"
#include "VemiTerminal/Components/VTChip.hpp"
#include "VemiTerminal/Components/VTGlyph.hpp"
#include "VemiTerminal/Components/VTText.hpp"
#include "VemiTerminal/Components/VTWindow.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"
#include "VemiTerminal/Tokens/VTTextStyle.hpp"

#include <QAccessible>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tilvane {

namespace {

constexpr int placeholderWidth = 280;
constexpr int chipPadding = 8;
constexpr qreal dividerWidth = 2;

QWidget* column(int spacing, std::initializer_list<QWidget*> children)
{
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    for (auto* child : children) layout->addWidget(child, 0, Qt::AlignLeft);
    return content;
}

VTWindow* placeholderWindow(const QString& title, QWidget* content, const char* objectName, QWidget* parent)
{
    auto* window = new VTWindow(title, QStringLiteral("▢"));
    window->setParent(parent);
    window->setActive(true);
    window->setObjectName(QLatin1String(objectName));
    window->setFixedWidth(placeholderWidth);
    window->setContent(content);
    return window;
}

}  // namespace

ComparisonGeometry ComparisonGeometry::fit(QSizeF area, QSize pictureSize)
{
    ComparisonGeometry geometry{area, {}};
    if (pictureSize.isEmpty()) return geometry;
    const qreal scale = std::min(area.width() / pictureSize.width(), area.height() / pictureSize.height());
    const QSizeF fitted(scale * pictureSize.width(), scale * pictureSize.height());
    geometry.picture =
        QRectF(QPointF((area.width() - fitted.width()) / 2, (area.height() - fitted.height()) / 2), fitted);
    return geometry;
}

double ComparisonGeometry::fractionAt(qreal x) const
{
    const double fraction = (x - picture.left()) / picture.width();
    if (std::isnan(fraction)) return 0;
    return std::clamp(fraction, 0.0, 1.0);
}

ComparisonView::ComparisonView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("comparison"));
    installAccessibleControlFactory();
    setAccessibleName(QStringLiteral("Comparador de imagem original e resultado"));

    auto* openButton = new VTButton(QStringLiteral("Abrir Imagem ▸"), vtPixel);
    openButton->setObjectName(QStringLiteral("comparisonOpenButton"));
    connect(openButton, &QAbstractButton::clicked, this, &ComparisonView::openRequested);
    emptyPlaceholder_ = placeholderWindow(
        QStringLiteral("Tilvane"),
        column(
            12,
            {new VTGlyph(QStringLiteral("TLVN")), new VTText(QStringLiteral("nenhum arquivo ▸"), VTTextStyle::pixelMD),
             new VTText(QStringLiteral("abra ou solte uma imagem aqui"), VTTextStyle::pixelSM, &VTTheme::fgMuted),
             openButton}),
        "comparisonEmptyPlaceholder", this);

    loadingNameText_ = new VTText(QString(), VTTextStyle::pixelSM, &VTTheme::fgMuted);
    loadingNameText_->setObjectName(QStringLiteral("comparisonLoadingName"));
    loadingPlaceholder_ = placeholderWindow(
        QStringLiteral("Abrindo"),
        column(8, {new VTText(QStringLiteral("lendo arquivo ▸▸▸"), VTTextStyle::pixelMD), loadingNameText_}),
        "comparisonLoadingPlaceholder", this);

    resultChip_ = new VTChip(QStringLiteral("resultado"), {}, this);
    resultChip_->setObjectName(QStringLiteral("comparisonResultChip"));
    originalChip_ = new VTChip(QStringLiteral("original"), {}, this);
    originalChip_->setObjectName(QStringLiteral("comparisonOriginalChip"));
    for (auto* chip : {resultChip_, originalChip_}) chip->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (auto* placeholder : {emptyPlaceholder_, loadingPlaceholder_}) placeholder->installEventFilter(this);
    refresh();
}

void ComparisonView::setSource(ImagePointer source)
{
    if (source_ == source) return;
    source_ = std::move(source);
    sourceImage_ = qImageView(source_);
    shownSource_ = {};
    refresh();
}

void ComparisonView::setPixelGrid(ImagePointer pixelGrid)
{
    if (pixelGrid_ == pixelGrid) return;
    pixelGrid_ = std::move(pixelGrid);
    gridImage_ = qImageView(pixelGrid_);
    shownGrid_ = {};
    refresh();
}

void ComparisonView::setLoadingName(const std::optional<QString>& loadingName)
{
    if (loadingName_ == loadingName) return;
    loadingName_ = loadingName;
    refresh();
}

void ComparisonView::setFraction(double fraction)
{
    if (fraction_ == fraction) return;
    fraction_ = fraction;
    announceAccessibleValue();
    update();
}

void ComparisonView::setShowsHandle(bool showsHandle)
{
    if (showsHandle_ == showsHandle) return;
    showsHandle_ = showsHandle;
    update();
}

ComparisonGeometry ComparisonView::geometryNow() const
{
    const QSizeF area(std::max<qreal>(0, width() - 2 * ComparisonGeometry::inset),
                      std::max<qreal>(0, height() - 2 * ComparisonGeometry::inset));
    return ComparisonGeometry::fit(area, source_ ? QSize(source_->width(), source_->height()) : QSize());
}

QRectF ComparisonView::pictureFrame() const
{
    if (!source_) return {};
    return geometryNow().picture.translated(ComparisonGeometry::inset, ComparisonGeometry::inset);
}

void ComparisonView::refresh()
{
    emptyPlaceholder_->setVisible(!source_ && !loadingName_);
    loadingPlaceholder_->setVisible(!source_ && loadingName_.has_value());
    if (loadingName_) {
        const QFontMetrics metrics(vtFont(VTTextStyle::pixelSM));
        loadingNameText_->setText(metrics.elidedText(*loadingName_, Qt::ElideMiddle, placeholderWidth - 24));
    }
    for (auto* placeholder : {emptyPlaceholder_, loadingPlaceholder_}) {
        placeholder->adjustSize();
        centre(placeholder);
    }
    const bool showsResult = source_ && pixelGrid_;
    resultChip_->setVisible(showsResult);
    originalChip_->setVisible(showsResult);
    if (showsResult) {
        const QRect frame = pictureFrame().toAlignedRect();
        resultChip_->adjustSize();
        originalChip_->adjustSize();
        resultChip_->move(frame.topLeft() + QPoint(chipPadding, chipPadding));
        originalChip_->move(frame.right() + 1 - chipPadding - originalChip_->width(), frame.top() + chipPadding);
    }
    update();
}

void ComparisonView::centre(QWidget* placeholder)
{
    placeholder->move((width() - placeholder->width()) / 2, (height() - placeholder->height()) / 2);
}

// A placeholder grows with its content (a loading name laid out later) and stays centred.
bool ComparisonView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && (watched == emptyPlaceholder_ || watched == loadingPlaceholder_)) {
        centre(static_cast<QWidget*>(watched));
    }
    return QWidget::eventFilter(watched, event);
}

QString ComparisonView::accessibleValue() const
{
    return QStringLiteral("%1% do resultado visível").arg(static_cast<int>(fraction_ * 100));
}

void ComparisonView::announceAccessibleValue()
{
    QAccessibleValueChangeEvent event(this, accessibleValue());
    QAccessible::updateAccessibility(&event);
}

void ComparisonView::resizeEvent(QResizeEvent*)
{
    refresh();
}

void ComparisonView::paintEvent(QPaintEvent*)
{
    if (!source_) return;
    const VTTheme& theme = vtTheme(this);
    const QRectF frame = pictureFrame();
    QPainter painter(this);
    painter.fillRect(frame.translated(4, 4), theme.shadowColor);
    painter.fillRect(frame, theme.bgWindow);
    const qreal ratio = devicePixelRatioF();
    painter.drawImage(frame.topLeft(),
                      shown(shownSource_, sourceImage_, frame.size(), ratio, Qt::SmoothTransformation));
    if (pixelGrid_) {
        const qreal dividerX = frame.width() * fraction_;
        painter.save();
        painter.setClipRect(QRectF(frame.topLeft(), QSizeF(dividerX, frame.height())));
        painter.drawImage(frame.topLeft(), shown(shownGrid_, gridImage_, frame.size(), ratio, Qt::FastTransformation));
        painter.restore();

        const qreal centre = frame.left() + dividerX;
        painter.fillRect(QRectF(centre - dividerWidth / 2, frame.top(), dividerWidth, frame.height()), theme.btnBg);
        if (showsHandle_) {
            const QRectF grip(centre - handleSize / 2.0, frame.center().y() - handleSize / 2.0, handleSize, handleSize);
            painter.fillRect(grip, theme.btnBg);
            painter.setPen(QPen(theme.border, 1));
            painter.drawRect(grip.adjusted(0.5, 0.5, -0.5, -0.5));
            painter.setPen(theme.btnFg);
            painter.setFont(vtFont(VTTextStyle::pixelMD));
            painter.drawText(grip, Qt::AlignCenter, QStringLiteral("◂▸"));
        }
    }
    painter.setPen(QPen(theme.border, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame.adjusted(0.5, 0.5, -0.5, -0.5));
}

// The picture at the frame's size in device pixels, scaled once per picture and size, so that a drag of the
// divider repaints by copying pixels instead of resampling the whole picture at every move.
const QImage& ComparisonView::shown(QImage& cache, const QImage& picture, QSizeF frameSize, qreal ratio,
                                    Qt::TransformationMode mode)
{
    const QSize size = (frameSize * ratio).toSize();
    if (cache.size() != size || cache.devicePixelRatio() != ratio) {
        cache = picture.isNull() || size.isEmpty() ? QImage() : picture.scaled(size, Qt::IgnoreAspectRatio, mode);
        cache.setDevicePixelRatio(ratio);
    }
    return cache;
}

void ComparisonView::dragTo(qreal x)
{
    if (!pixelGrid_) return;
    const double fraction = geometryNow().fractionAt(x - ComparisonGeometry::inset);
    setFraction(fraction);
    emit fractionEdited(fraction);
}

void ComparisonView::mousePressEvent(QMouseEvent* event)
{
    const QRectF area(QPointF(ComparisonGeometry::inset, ComparisonGeometry::inset), geometryNow().area);
    if (!source_ || event->button() != Qt::LeftButton || !area.contains(event->position())) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    dragTo(event->position().x());
}

void ComparisonView::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_) dragTo(event->position().x());
}

void ComparisonView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!dragging_ || event->button() != Qt::LeftButton) return;
    dragging_ = false;
    emit compareEnded();
}

}  // namespace tilvane
