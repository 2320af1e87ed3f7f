#pragma once

#include <QWidget>

struct VTTheme;

// The dotted section ground: `bgSection` with dots of diameter 1.2 in `dot`, centred at pitch/2 + k·pitch on both
// axes while inside the bounds (exclusive).
class VTDotGrid : public QWidget {
    Q_OBJECT
public:
    explicit VTDotGrid(qreal pitch = 8, QWidget* parent = nullptr);

    qreal pitch() const { return pitch_; }
    void setPitch(qreal pitch);

    // A pitch of 0 or less paints only the ground; one below a device pixel fills the ground with the dots' colour.
    static void paint(QPainter& painter, const QRectF& bounds, const VTTheme& theme, qreal pitch);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal pitch_;
};
