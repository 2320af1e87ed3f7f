#include "Tilvane/Views/ShaderGallery.hpp"

#include "Tilvane/Views/PixelPainting.hpp"

#include "VemiTerminal/Components/VTChip.hpp"
#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Components/VTGlyph.hpp"
#include "VemiTerminal/Components/VTKeyboardFocus.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>
#include <utility>

namespace tilvane {

namespace {

constexpr int cardPadding = 4;
constexpr int columnSpacing = 4;
constexpr int captionSpacing = 4;
constexpr int cardSpacing = 12;
constexpr int rowPaddingH = 16;
constexpr int rowPaddingBottom = 8;
constexpr int stripPaddingTop = 12;
constexpr int selectedBorder = 2;

QString toQString(const std::string& text)
{
    return QString::fromStdString(text);
}

// The part of `image` that, scaled to keep its aspect ratio, fills a box of `box` and is cropped at its centre.
QRectF aspectFillSource(const QSize& image, const QSize& box)
{
    const double scale =
        std::max(static_cast<double>(box.width()) / image.width(), static_cast<double>(box.height()) / image.height());
    const QSizeF shown(box.width() / scale, box.height() / scale);
    return {(image.width() - shown.width()) / 2, (image.height() - shown.height()) / 2, shown.width(), shown.height()};
}

// A strip that scrolls sideways only: with its bars hidden, an ordinary (vertical) wheel moves it left and right.
class SidewaysScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;

protected:
    void wheelEvent(QWheelEvent* event) override { QCoreApplication::sendEvent(horizontalScrollBar(), event); }
};

}  // namespace

// MARK: ShaderGalleryCard

ShaderGalleryCard::ShaderGalleryCard(PresetSelection id, bool personal, QWidget* parent)
    : QAbstractButton(parent), id_(std::move(id)), personal_(personal), keyboardFocus_(new VTKeyboardFocus(this))
{
    installAccessibleControlFactory();
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setObjectName(id_ ? QStringLiteral("shaderCard:") + toQString(*id_) : QStringLiteral("noShaderCard"));
    placeholder_ = new VTGlyph(QStringLiteral("▧"), this);
    placeholder_->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (personal_) {
        chip_ = new VTChip(QStringLiteral("meu"), {}, this);
        chip_->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    placeChildren();
}

int ShaderGalleryCard::captionHeight() const
{
    const int text = static_cast<int>(std::ceil(vtNaturalLineHeight(VTTextStyle::pixelSM)));
    return chip_ != nullptr ? std::max(text, chip_->sizeHint().height()) : text;
}

QSize ShaderGalleryCard::sizeHint() const
{
    return {cardWidth, cardPadding + thumbnailHeight + columnSpacing + captionHeight() + cardPadding};
}

QRect ShaderGalleryCard::thumbnailRect() const
{
    return {cardPadding, cardPadding, thumbnailWidth, thumbnailHeight};
}

void ShaderGalleryCard::placeChildren()
{
    const QRect box = thumbnailRect();
    const QSize glyph = placeholder_->sizeHint();
    placeholder_->setGeometry(
        QRect(QPoint(box.left() + (box.width() - glyph.width()) / 2, box.top() + (box.height() - glyph.height()) / 2),
              glyph));
    placeholder_->setVisible(image_.isNull());
    if (chip_ != nullptr) {
        const QSize chip = chip_->sizeHint();
        const int textWidth = static_cast<int>(std::ceil(vtTextLineSize(VTTextStyle::pixelSM, name_).width()));
        const int room = thumbnailWidth - chip.width() - captionSpacing;
        const int top = box.bottom() + 1 + columnSpacing;
        chip_->setGeometry(cardPadding + std::min(textWidth, room) + captionSpacing,
                           top + (captionHeight() - chip.height()) / 2, chip.width(), chip.height());
    }
}

void ShaderGalleryCard::setSelected(bool selected)
{
    if (selected_ == selected) return;
    selected_ = selected;
    update();
}

void ShaderGalleryCard::setName(const QString& name)
{
    if (name_ == name) return;
    name_ = name;
    setAccessibleName(!id_ ? name : personal_ ? QStringLiteral("Preset pessoal: ") + name : name);
    placeChildren();
    update();
}

void ShaderGalleryCard::setImage(const QImage& image)
{
    if (image_ == image) return;
    image_ = image;
    placeChildren();
    update();
}

void ShaderGalleryCard::paintEvent(QPaintEvent*)
{
    const VTTheme& theme = vtTheme(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(rect(), selected_ ? theme.chipBg : theme.bgWindow);

    const QRect box = thumbnailRect();
    painter.fillRect(box, theme.bgSection);
    if (!image_.isNull()) {
        painter.save();
        painter.setClipRect(box);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(QRectF(box), image_, aspectFillSource(image_.size(), box.size()));
        painter.restore();
    }
    vtStrokeInside(painter, box, theme.border);

    const int chipRoom = chip_ != nullptr ? chip_->sizeHint().width() + captionSpacing : 0;
    const QString shown =
        QFontMetricsF(vtFont(VTTextStyle::pixelSM)).elidedText(name_, Qt::ElideMiddle, thumbnailWidth - chipRoom);
    const qreal lineHeight = vtNaturalLineHeight(VTTextStyle::pixelSM);
    const qreal captionTop = box.bottom() + 1 + columnSpacing + (captionHeight() - lineHeight) / 2;
    vtDrawTextLine(painter, {static_cast<qreal>(cardPadding), std::round(captionTop)}, VTTextStyle::pixelSM, shown,
                   theme.fg);

    if (selected_) {
        vtStrokeInside(painter, rect(), theme.fg, selectedBorder);
    } else {
        vtStrokeInside(painter, rect(), theme.border, 1);
    }
    if (keyboardFocus_->isShown()) paintFocusRingInside(painter, rect(), selectedBorder, theme.fg);
}

// MARK: ShaderGallery

ShaderGallery::ShaderGallery(std::vector<ShaderPreset> builtInPresets, QWidget* parent)
    : QWidget(parent), builtIns_(std::move(builtInPresets))
{
    setFixedHeight(stripHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    auto* scroll = new SidewaysScrollArea(this);
    scroll->setObjectName(QStringLiteral("galleryScroll"));
    // The cards are the keyboard's stops and the strip scrolls to show the focused one; the strip is no stop.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->viewport()->setAutoFillBackground(false);

    auto* strip = new QWidget;
    row_ = new QHBoxLayout(strip);
    row_->setContentsMargins(rowPaddingH, 0, rowPaddingH, rowPaddingBottom);
    row_->setSpacing(cardSpacing);
    row_->addStretch(1);
    scroll->setWidget(strip);
    strip->setAutoFillBackground(false);  // the strip shows the gallery's own ground

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, stripPaddingTop, 0, 0);
    layout->addWidget(scroll);
    refresh();
}

std::vector<ShaderGallery::CardContent> ShaderGallery::contents() const
{
    std::vector<CardContent> result;
    result.push_back({std::nullopt, QStringLiteral("Sem Shader"), basePreview_, false});
    for (const auto& preset : personalPresets_) {
        const auto preview = personalPreviews_.find(preset.id);
        result.push_back({personalSelectionID(preset.id), toQString(preset.name),
                          preview != personalPreviews_.end() ? preview->second : QImage(), true});
    }
    for (const auto& preset : builtIns_) {
        const auto preview = previews_.find(preset.id);
        result.push_back(
            {preset.id, toQString(preset.name), preview != previews_.end() ? preview->second : QImage(), false});
    }
    return result;
}

void ShaderGallery::refresh()
{
    const std::vector<CardContent> wanted = contents();
    bool sameCards = static_cast<std::size_t>(cards_.size()) == wanted.size();
    for (std::size_t i = 0; sameCards && i < wanted.size(); ++i) {
        const auto& card = cards_[static_cast<qsizetype>(i)];
        sameCards = card && card->id() == wanted[i].id;
    }
    if (!sameCards) {
        // Cards leave later: one of them may be delivering the click that led here.
        for (const auto& card : cards_) {
            if (card) {
                card->hide();
                card->deleteLater();
            }
        }
        cards_.clear();
        for (const auto& content : wanted) {
            auto* card = new ShaderGalleryCard(content.id, content.personal);
            connect(card, &QAbstractButton::clicked, this, [this, id = content.id] { emit shaderSelected(id); });
            row_->insertWidget(row_->count() - 1, card, 0, Qt::AlignVCenter);
            cards_.append(card);
        }
    }
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        ShaderGalleryCard* card = cards_[static_cast<qsizetype>(i)];
        card->setName(wanted[i].name);
        card->setImage(wanted[i].image);
        card->setSelected(wanted[i].id == selection_);
    }
}

QList<ShaderGalleryCard*> ShaderGallery::cards() const
{
    QList<ShaderGalleryCard*> result;
    for (const auto& card : cards_) {
        if (card) result.append(card);
    }
    return result;
}

void ShaderGallery::setSelection(const PresetSelection& selection)
{
    selection_ = selection;
    refresh();
}

void ShaderGallery::setPersonalPresets(const std::vector<PersonalPreset>& presets)
{
    personalPresets_ = presets;
    refresh();
}

void ShaderGallery::setBasePreview(const QImage& preview)
{
    basePreview_ = preview;
    refresh();
}

void ShaderGallery::setPreviews(const std::map<std::string, QImage>& previews)
{
    previews_ = previews;
    refresh();
}

void ShaderGallery::setPersonalPreviews(const std::map<Uuid, QImage>& previews)
{
    personalPreviews_ = previews;
    refresh();
}

void ShaderGallery::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), vtTheme(this).bgPage);
}

}  // namespace tilvane
