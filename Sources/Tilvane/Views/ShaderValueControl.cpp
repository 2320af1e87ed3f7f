#include "Tilvane/Views/ShaderValueControl.hpp"

#include "Tilvane/Views/PixelPainting.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tilvane {

namespace {
constexpr float divisorFloor = 0.0001f;
constexpr float accessibilitySteps = 20;
constexpr float pageSteps = 10;
constexpr int captionGap = 8;
}  // namespace

ShaderValueControl::ShaderValueControl(const QString& label, Range range, QWidget* parent)
    : PixelTrackControl(label, parent), label_(label), range_(range), value_(range.lowerBound)
{
}

void ShaderValueControl::setValue(float value)
{
    if (value_ == value || (std::isnan(value_) && std::isnan(value))) return;
    value_ = value;
    update();
}

QString ShaderValueControl::formatted() const
{
    const float width = span();
    const char* format = width >= 100 ? "%.0f" : width < 0.1f ? "%.3f" : "%.2f";
    return QString::asprintf(format, static_cast<double>(value_));
}

int ShaderValueControl::captionHeight() const
{
    return static_cast<int>(std::ceil(vtNaturalLineHeight(VTTextStyle::pixelSM)));
}

QRect ShaderValueControl::trackArea() const
{
    return {0, captionHeight() + captionSpacing, width(), trackAreaHeight};
}

float ShaderValueControl::valueForPointer(double x, double width, Range range)
{
    const float span = range.upperBound - range.lowerBound;
    return range.lowerBound + span * static_cast<float>(pointerFraction(x, width));
}

QSize ShaderValueControl::sizeHint() const
{
    const int caption = static_cast<int>(std::ceil(vtTextLineSize(VTTextStyle::pixelSM, label_).width()
                                                   + vtTextLineSize(VTTextStyle::pixelSM, formatted()).width()));
    return {std::max(caption + captionGap, 160), captionHeight() + captionSpacing + trackAreaHeight};
}

QSize ShaderValueControl::minimumSizeHint() const
{
    return {thumbWidth + 1, captionHeight() + captionSpacing + trackAreaHeight};
}

float ShaderValueControl::stepBase() const
{
    // A stored value that is not a finite number steps from where its thumb is drawn: an end of the track.
    if (std::isfinite(value_)) return value_;
    return value_ > 0 ? range_.upperBound : range_.lowerBound;
}

void ShaderValueControl::step(int direction, float parts)
{
    const float stepped = stepBase() + static_cast<float>(direction) * (span() / parts);
    write(direction > 0 ? std::min(stepped, range_.upperBound) : std::max(stepped, range_.lowerBound));
}

void ShaderValueControl::accessibleIncrement()
{
    step(1, accessibilitySteps);
}

void ShaderValueControl::accessibleDecrement()
{
    step(-1, accessibilitySteps);
}

void ShaderValueControl::stepPage(int direction)
{
    step(direction, pageSteps);
}

void ShaderValueControl::writeBound(bool upper)
{
    write(upper ? range_.upperBound : range_.lowerBound);
}

void ShaderValueControl::paintEvent(QPaintEvent*)
{
    const VTTheme& theme = vtTheme(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintKitWindowGround(painter, *this);
    paintWithOpacity(painter, size(), controlOpacity(*this), [&](QPainter& p) {
        // Caption line: the label at the left, the value at the right end, both in `pixelSM`.
        const QString valueText = formatted();
        const qreal valueWidth = vtTextLineSize(VTTextStyle::pixelSM, valueText).width();
        const QString caption =
            QFontMetricsF(vtFont(VTTextStyle::pixelSM))
                .elidedText(label_, Qt::ElideRight, std::max(0.0, width() - valueWidth - captionGap));
        vtDrawTextLine(p, {0, 0}, VTTextStyle::pixelSM, caption, theme.fgMuted);
        vtDrawTextLine(p, {std::round(width() - valueWidth), 0}, VTTextStyle::pixelSM, valueText, theme.fgMuted);

        const QRect area = trackArea();
        const double usable = std::max(area.width() - thumbWidth, 1);
        const float fraction = (value_ - range_.lowerBound) / std::max(span(), divisorFloor);
        const double position = usable * (fraction >= 0 ? std::min(fraction, 1.0f) : 0.0f);
        paintTrack(p, theme, area, position);
    });
}

void ShaderValueControl::writeFromPointer(double x)
{
    write(valueForPointer(x, trackArea().width(), range_));
}

void ShaderValueControl::write(float value)
{
    if (!isEnabled()) return;
    setValue(value);
    emit valueEdited(value);
}

}  // namespace tilvane
