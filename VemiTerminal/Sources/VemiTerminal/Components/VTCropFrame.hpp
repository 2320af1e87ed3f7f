#pragma once

#include <QPainterPath>
#include <QWidget>

// Four open corner marks like a print sheet's crop marks, each arm `length` long, kept 0.5 inside the rectangle
// so that a 1-pt stroke stays within it.
struct VTCropMarks {
    qreal length = 8;

    QPainterPath path(const QRectF& rect) const;
};

// Surrounds its content with a 32-pt margin whose outer edge carries crop marks in the theme's `border`.
class VTCropFrame : public QWidget {
    Q_OBJECT
public:
    explicit VTCropFrame(QWidget* content, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
