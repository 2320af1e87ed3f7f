#pragma once

#include "Tilvane/Views/AccessibleControl.hpp"

#include <QWidget>

class QPainter;
class VTKeyboardFocus;
struct VTTheme;

namespace tilvane {

// What the editor's sliders share: a 12-px thumb over an 8-px track filled up to the thumb's centre, a press in the
// track area that writes the value under the pointer, then on every move of the drag it starts (wherever the
// pointer goes), and the keys of the desktop's sliders: the arrows step as the accessibility actions do (right and
// up increase, left and down decrease), Page Up and Page Down by a tenth of the range, Home writes the lower bound
// and End the upper one. The slider takes these keys itself, so the scroll area around it never scrolls for them.
// A click gives it focus as Tab does; focus the keyboard uses outlines the track area in the kit's focus ring. A
// subclass keeps its own value and signal.
class PixelTrackControl : public QWidget, public AccessibleControl {
    Q_OBJECT
public:
    static constexpr int thumbWidth = 12;
    static constexpr int trackHeight = 8;

    // Where along a track `width` wide a pointer at `x` puts the thumb's centre, from 0 to 1; a track narrower
    // than the thumb counts as 1 px wide, and a position that is not a number counts as 0.
    static double pointerFraction(double x, double width);

    bool isAdjustable() const override { return true; }

    // Where the track area lies in the widget's coordinates: the only part that takes a press.
    virtual QRect trackArea() const = 0;

protected:
    PixelTrackControl(const QString& label, QWidget* parent);

    // Writes the value a pointer at `x` of the track area gives.
    virtual void writeFromPointer(double x) = 0;
    // Writes the lower bound (Home) or the upper one (End).
    virtual void writeBound(bool upper) = 0;
    // Steps by a tenth of the range, up (`direction` 1, Page Up) or down (-1, Page Down), within the range.
    virtual void stepPage(int direction) = 0;
    // Draws the track across `area` (as high as the thumb) with the thumb's left edge at `thumbX`, and the focus
    // ring around `area` while it shows.
    void paintTrack(QPainter& painter, const VTTheme& theme, const QRectF& area, double thumbX) const;

    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void followPointer(const QMouseEvent& event);

    bool dragging_ = false;
    VTKeyboardFocus* keyboardFocus_;
};

}  // namespace tilvane
