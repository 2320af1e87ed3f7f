#pragma once

#include "Tilvane/Views/AccessibleControl.hpp"
#include "TilvaneCore/Image.hpp"

#include <QImage>
#include <QRectF>
#include <QWidget>

#include <optional>

class VTChip;
class VTWindow;
class VTText;

namespace tilvane {

// Where the picture sits in the comparison: the area inside the 32-point inset, and the picture fitted
// into it (enlarged as well as reduced), in the area's own coordinates.
struct ComparisonGeometry {
    static constexpr qreal inset = 32;

    QSizeF area;
    QRectF picture;

    static ComparisonGeometry fit(QSizeF area, QSize pictureSize);
    // The share of the picture left of x (area coordinates), within 0...1; a value that is not a number gives 0.
    double fractionAt(qreal x) const;
};

// The opened picture and its result split by a vertical divider: the result left of it, the original right.
// Pure view: takes values through its setters (which do not emit) and reports the user's drag. To assistive
// technology it is one element, holding its placeholders' controls, whose value is the share of the result shown.
class ComparisonView : public QWidget, public AccessibleControl {
    Q_OBJECT

public:
    static constexpr int handleSize = 28;

    explicit ComparisonView(QWidget* parent = nullptr);

    void setSource(ImagePointer source);
    void setPixelGrid(ImagePointer pixelGrid);
    void setLoadingName(const std::optional<QString>& loadingName);
    void setFraction(double fraction);
    void setShowsHandle(bool showsHandle);

    double fraction() const { return fraction_; }
    bool showsHandle() const { return showsHandle_; }
    // The picture's frame in widget coordinates; empty without a source.
    QRectF pictureFrame() const;

    // "N% do resultado visível", N the fraction in percent truncated toward zero.
    QString accessibleValue() const override;
    bool containsAccessibleChildren() const override { return true; }

signals:
    // A drag or click moved the divider.
    void fractionEdited(double fraction);
    // A drag or click on the picture ended, with or without a result.
    void compareEnded();
    // The empty placeholder's "Abrir Imagem ▸".
    void openRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ComparisonGeometry geometryNow() const;
    void dragTo(qreal x);
    void refresh();
    void centre(QWidget* placeholder);
    void announceAccessibleValue();
    static const QImage& shown(QImage& cache, const QImage& picture, QSizeF frameSize, qreal ratio,
                               Qt::TransformationMode mode);

    ImagePointer source_;
    ImagePointer pixelGrid_;
    QImage sourceImage_;
    QImage gridImage_;
    QImage shownSource_;
    QImage shownGrid_;
    std::optional<QString> loadingName_;
    double fraction_ = 0.5;
    bool showsHandle_ = true;
    bool dragging_ = false;

    VTWindow* emptyPlaceholder_;
    VTWindow* loadingPlaceholder_;
    VTText* loadingNameText_;
    VTChip* resultChip_;
    VTChip* originalChip_;
};

}  // namespace tilvane
