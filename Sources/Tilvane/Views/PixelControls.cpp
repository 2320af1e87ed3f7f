#include "Tilvane/Views/PixelControls.hpp"

#include "Tilvane/Views/PixelPainting.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Components/VTKeyboardFocus.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tilvane {

namespace {

constexpr int switchSpacing = 8;
constexpr int knobInset = 3;
constexpr int chipPaddingH = 8;
constexpr int chipPaddingV = 4;
constexpr int trailingSpacing = 8;

QColor colorOf(const RGBColor& color)
{
    return QColor(color.red, color.green, color.blue);
}

}  // namespace

// MARK: PixelCaption

PixelCaption::PixelCaption(const QString& title, QWidget* parent)
    : VTText(title, VTTextStyle::pixelSM, &VTTheme::fgMuted, parent)
{
}

// MARK: PixelSwitch

PixelSwitch::PixelSwitch(const QString& title, PixelSwitchOptions options, QWidget* parent)
    : QWidget(parent), title_(title), compact_(options.compact), keyboardFocus_(new VTKeyboardFocus(this))
{
    installAccessibleControlFactory();
    setSizePolicy(compact_ ? QSizePolicy::Fixed : QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(title_);
    describe();
}

void PixelSwitch::setOn(bool on)
{
    if (on_ == on) return;
    on_ = on;
    describe();
    update();
}

void PixelSwitch::describe()
{
    setToolTip(title_ + QStringLiteral(": ") + (on_ ? "ligado" : "desligado"));
}

QString PixelSwitch::accessibleValue() const
{
    return on_ ? QStringLiteral("Ligado") : QStringLiteral("Desligado");
}

QSize PixelSwitch::sizeHint() const
{
    const QSize ringed(trackWidth + 2 * ringMargin, trackHeight + 2 * ringMargin);
    if (compact_) return ringed;
    const QSize title = vtCeil(vtTextLineSize(VTTextStyle::pixelMD, title_));
    // The ring's left side lies in the spacing after the title.
    return {title.width() + switchSpacing + trackWidth + ringMargin, std::max(ringed.height(), title.height())};
}

QSize PixelSwitch::minimumSizeHint() const
{
    return sizeHint();
}

QRect PixelSwitch::trackRect() const
{
    return {width() - ringMargin - trackWidth, (height() - trackHeight) / 2, trackWidth, trackHeight};
}

QRect PixelSwitch::focusRingRect() const
{
    return trackRect().adjusted(-ringMargin, -ringMargin, ringMargin, ringMargin);
}

void PixelSwitch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintWithOpacity(painter, size(), controlOpacity(*this), [this](QPainter& p) {
        const VTTheme& theme = vtTheme(this);
        if (!compact_) {
            const qreal textHeight = vtNaturalLineHeight(VTTextStyle::pixelMD);
            vtDrawTextLine(p, {0, (height() - textHeight) / 2}, VTTextStyle::pixelMD, title_, labelForeground(this));
        }
        const QRect track = trackRect();
        p.fillRect(track, on_ ? theme.barBgActive : theme.chipBg);
        const int knobX = on_ ? track.right() + 1 - knobInset - knobSide : track.left() + knobInset;
        const QColor knob = on_ ? theme.barFgActive : theme.fg;
        p.fillRect(QRect(knobX, track.top() + knobInset, knobSide, knobSide), knob);
        vtStrokeInside(p, track, theme.border);
        // Around the track, clear of it: the track and its knob read the same with and without the focus.
        if (keyboardFocus_->isShown()) vtDrawKeyboardFocus(p, focusRingRect(), theme.fg);
    });
}

void PixelSwitch::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void PixelSwitch::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click) toggleByUser();
    event->accept();
}

void PixelSwitch::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space) {
        toggleByUser();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PixelSwitch::toggleByUser()
{
    if (!isEnabled()) return;
    setOn(!on_);
    emit valueEdited(on_);
}

// MARK: PixelChoiceButton

PixelChoiceButton::PixelChoiceButton(const QString& label, QWidget* trailing, QWidget* parent)
    : QAbstractButton(parent), trailing_(trailing), keyboardFocus_(new VTKeyboardFocus(this))
{
    installAccessibleControlFactory();
    setText(label);
    setAccessibleName(label);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    if (trailing_ != nullptr) {
        trailing_->setParent(this);
        trailing_->setAttribute(Qt::WA_TransparentForMouseEvents);
        placeTrailing();
    }
}

QColor PixelChoiceButton::foreground() const
{
    const VTTheme& theme = vtTheme(this);
    return selected_ ? theme.barFgActive : theme.fg;
}

QColor labelForeground(const QWidget* widget)
{
    for (const QWidget* ancestor = widget->parentWidget(); ancestor != nullptr; ancestor = ancestor->parentWidget()) {
        if (const auto* chip = qobject_cast<const PixelChoiceButton*>(ancestor)) return chip->foreground();
    }
    return vtForeground(widget);
}

void PixelChoiceButton::placeTrailing()
{
    if (trailing_ == nullptr) return;
    const QSize size = trailing_->sizeHint();
    trailing_->setGeometry(width() - chipPaddingH - size.width(), (height() - size.height()) / 2, size.width(),
                           size.height());
}

void PixelChoiceButton::resizeEvent(QResizeEvent* event)
{
    placeTrailing();
    QAbstractButton::resizeEvent(event);
}

void PixelChoiceButton::setSelected(bool selected)
{
    if (selected_ == selected) return;
    selected_ = selected;
    update();
    if (trailing_ != nullptr) trailing_->update();
}

QSize PixelChoiceButton::sizeHint() const
{
    QSize label = vtCeil(vtTextLineSize(VTTextStyle::pixelMD, text()));
    if (trailing_ != nullptr) {
        const QSize trailing = trailing_->sizeHint();
        label = {label.width() + trailingSpacing + trailing.width(), std::max(label.height(), trailing.height())};
    }
    return {label.width() + 2 * chipPaddingH, label.height() + 2 * chipPaddingV};
}

QSize PixelChoiceButton::minimumSizeHint() const
{
    return sizeHint();
}

QColor PixelChoiceButton::background() const
{
    const VTTheme& theme = vtTheme(this);
    if (selected_) return theme.barBgActive;
    if (hovering_ || isDown()) return theme.chipBg;
    return theme.bgWindow;
}

void PixelChoiceButton::paintEvent(QPaintEvent*)
{
    const VTTheme& theme = vtTheme(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(rect(), background());
    const QSizeF label = vtTextLineSize(VTTextStyle::pixelMD, text());
    const qreal top = std::round((height() - label.height()) / 2);
    if (trailing_ == nullptr) {
        vtDrawTextLine(painter, {std::round((width() - label.width()) / 2), top}, VTTextStyle::pixelMD, text(),
                       foreground());
    } else {
        const qreal room = trailing_->x() - trailingSpacing - chipPaddingH;
        const QString shown =
            QFontMetricsF(vtFont(VTTextStyle::pixelMD)).elidedText(text(), Qt::ElideRight, std::max(room, 0.0));
        vtDrawTextLine(painter, {static_cast<qreal>(chipPaddingH), top}, VTTextStyle::pixelMD, shown, foreground());
    }
    vtStrokeInside(painter, rect(), theme.border);
    if (keyboardFocus_->isShown()) paintFocusRingInside(painter, rect(), 1, foreground());
}

void PixelChoiceButton::enterEvent(QEnterEvent* event)
{
    hovering_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PixelChoiceButton::leaveEvent(QEvent* event)
{
    hovering_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

// MARK: PaletteSwatch

PaletteSwatch::PaletteSwatch(const ImagePalette& palette, int limit, QWidget* parent)
    : QWidget(parent), palette_(palette), limit_(std::max(limit, 0))
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PaletteSwatch::setPalette(const ImagePalette& palette)
{
    if (palette_ == palette) return;
    palette_ = palette;
    updateGeometry();
    update();
}

std::vector<RGBColor> PaletteSwatch::sampled() const
{
    const auto& colors = palette_.colors;
    const std::size_t count = colors.size();
    const auto limit = static_cast<std::size_t>(limit_);
    if (limit >= count) return colors;
    std::vector<RGBColor> result;
    result.reserve(limit);
    for (std::size_t i = 0; i < limit; ++i) result.push_back(colors[i * count / limit]);
    return result;
}

QSize PaletteSwatch::sizeHint() const
{
    if (showsGlyph()) return vtCeil(vtTextLineSize(VTTextStyle::pixelMD, QStringLiteral("∵")));
    return {static_cast<int>(sampled().size()) * squareWidth, squareHeight};
}

void PaletteSwatch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (showsGlyph()) {
        vtDrawTextLine(painter, {0, 0}, VTTextStyle::pixelMD, QStringLiteral("∵"), labelForeground(this));
        return;
    }
    const auto colors = sampled();
    const int top = (height() - squareHeight) / 2;
    for (std::size_t i = 0; i < colors.size(); ++i) {
        painter.fillRect(QRect(static_cast<int>(i) * squareWidth, top, squareWidth, squareHeight), colorOf(colors[i]));
    }
    if (!colors.empty()) {
        vtStrokeInside(painter, QRectF(0, top, static_cast<int>(colors.size()) * squareWidth, squareHeight),
                       vtTheme(this).border);
    }
}

// MARK: PixelSlider

PixelSlider::PixelSlider(int lower, int upper, const QString& label, QWidget* parent)
    : PixelTrackControl(label, parent), value_(lower), lower_(lower), upper_(std::max(lower, upper))
{
}

void PixelSlider::setValue(int value)
{
    if (value_ == value) return;
    value_ = value;
    update();
}

int PixelSlider::valueForPointer(double x, double width, int lower, int upper)
{
    const double fraction = pointerFraction(x, width);
    return lower + static_cast<int>(std::round(fraction * (static_cast<double>(upper) - lower)));
}

QRect PixelSlider::trackArea() const
{
    return {0, (QWidget::height() - height) / 2, width(), height};
}

QSize PixelSlider::sizeHint() const
{
    return {160, height};
}

QSize PixelSlider::minimumSizeHint() const
{
    return {thumbWidth + 1, height};
}

QString PixelSlider::accessibleValue() const
{
    return QString::asprintf("%lld px", static_cast<long long>(value_));
}

void PixelSlider::accessibleIncrement()
{
    write(std::min(value_ + 1, upper_));
}

void PixelSlider::accessibleDecrement()
{
    write(std::max(value_ - 1, lower_));
}

void PixelSlider::paintEvent(QPaintEvent*)
{
    const VTTheme& theme = vtTheme(this);
    QPainter painter(this);
    paintKitWindowGround(painter, *this);
    paintWithOpacity(painter, size(), controlOpacity(*this), [&](QPainter& p) {
        const double usable = std::max(width() - thumbWidth, 1);
        const double span = std::max(upper_ - lower_, 1);
        // A value outside the range (never written by the slider itself) keeps the thumb on the track.
        const double x = usable * std::clamp((value_ - lower_) / span, 0.0, 1.0);
        paintTrack(p, theme, trackArea(), x);
    });
}

void PixelSlider::writeFromPointer(double x)
{
    write(valueForPointer(x, trackArea().width(), lower_, upper_));
}

void PixelSlider::writeBound(bool upper)
{
    write(upper ? upper_ : lower_);
}

void PixelSlider::stepPage(int direction)
{
    const int page = std::max(1, static_cast<int>(std::lround((upper_ - lower_) / 10.0)));
    write(std::clamp(value_ + direction * page, lower_, upper_));
}

void PixelSlider::write(int value)
{
    if (!isEnabled()) return;
    setValue(value);
    emit valueEdited(value_);
}

// MARK: VTHairline

VTHairline::VTHairline(Qt::Orientation axis, QWidget* parent) : QWidget(parent), axis_(axis)
{
    if (axis_ == Qt::Horizontal) {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setFixedHeight(1);
    } else {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        setFixedWidth(1);
    }
}

QSize VTHairline::sizeHint() const
{
    return {1, 1};
}

void VTHairline::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), vtTheme(this).border);
}

}  // namespace tilvane
