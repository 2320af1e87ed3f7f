#include "VemiTerminal/Components/VTDotGrid.hpp"

#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <list>

namespace {
constexpr qreal dotDiameter = 1.2;

// Thousands of antialiased dots take a noticeable fraction of a second to fill, and a page's grid is
// repainted behind every child that changes. The grid drawn at whole device pixels is kept as a picture
// (the last few sizes, colours and pitches), so a repaint copies pixels, identical to drawing the dots again.
struct RenderedGrid {
    QSize size;
    qreal pitch;
    QRgb ground;
    QRgb dot;
    qreal ratio;
    QImage image;
};

void paintDots(QPainter& painter, const QRectF& bounds, const VTTheme& theme, qreal pitch)
{
    QPainterPath dots;
    const qreal radius = dotDiameter / 2;
    for (qreal y = pitch / 2; y < bounds.height(); y += pitch) {
        for (qreal x = pitch / 2; x < bounds.width(); x += pitch) {
            dots.addEllipse(QRectF(bounds.left() + x - radius, bounds.top() + y - radius, dotDiameter, dotDiameter));
        }
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(dots, theme.dot);
    painter.restore();
}

bool isWhole(qreal value)
{
    return std::abs(value - std::round(value)) < 1e-9;
}

// The picture of the grid when the painter puts `bounds` on whole device pixels over an opaque ground;
// a null image otherwise (the grid is then drawn directly).
const QImage* renderedGrid(QPainter& painter, const QRectF& bounds, const VTTheme& theme, qreal pitch)
{
    static std::list<RenderedGrid> kept;
    const qreal ratio = painter.device()->devicePixelRatioF();
    const QTransform transform = painter.transform();
    const QPointF origin = transform.map(bounds.topLeft()) * ratio;
    if (transform.type() > QTransform::TxTranslate || !isWhole(origin.x()) || !isWhole(origin.y())
        || !isWhole(bounds.width()) || !isWhole(bounds.height()) || theme.bgSection.alpha() != 255) {
        return nullptr;
    }
    const QSize size = bounds.size().toSize();
    for (auto grid = kept.begin(); grid != kept.end(); ++grid) {
        if (grid->size == size && grid->pitch == pitch && grid->ground == theme.bgSection.rgba()
            && grid->dot == theme.dot.rgba() && grid->ratio == ratio) {
            kept.splice(kept.begin(), kept, grid);
            return &kept.front().image;
        }
    }
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(theme.bgSection);
    QPainter imagePainter(&image);
    paintDots(imagePainter, QRectF(QPointF(0, 0), bounds.size()), theme, pitch);
    imagePainter.end();
    kept.push_front({size, pitch, theme.bgSection.rgba(), theme.dot.rgba(), ratio, std::move(image)});
    if (kept.size() > 4) kept.pop_back();
    return &kept.front().image;
}
}  // namespace

VTDotGrid::VTDotGrid(qreal pitch, QWidget* parent) : QWidget(parent), pitch_(pitch) {}

void VTDotGrid::setPitch(qreal pitch)
{
    pitch_ = pitch;
    update();
}

void VTDotGrid::paint(QPainter& painter, const QRectF& bounds, const VTTheme& theme, qreal pitch)
{
    painter.fillRect(bounds, theme.bgSection);
    if (!(pitch > 0) || bounds.width() <= pitch / 2 || bounds.height() <= pitch / 2) {
        return;
    }
    if (pitch * painter.device()->devicePixelRatioF() < 1) {
        // Dots closer than a device pixel merge into one another: a single fill of their colour stands for them
        // all, so the work stays bounded by the pixels drawn however small the pitch.
        painter.fillRect(bounds, theme.dot);
        return;
    }
    if (const QImage* grid = renderedGrid(painter, bounds, theme, pitch)) {
        painter.drawImage(bounds.topLeft(), *grid);
        return;
    }
    paintDots(painter, bounds, theme, pitch);
}

void VTDotGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter, rect(), vtTheme(this), pitch_);
}
