#pragma once

#include <QPointer>
#include <QWidget>

// A component that paints beyond its own bounds (a hard shadow, a pressed offset) without taking layout space.
class VTOverflowing {
public:
    virtual ~VTOverflowing() = default;
    // Paints the whole component in its own coordinates, including what lies right of or below its bounds.
    virtual void paintWithOverflow(QPainter& painter) = 0;
};

// A widget laid over a component's right and bottom margins (masked off the component itself) that paints the
// part of the component's drawing that falls outside its bounds. It lives in the nearest ancestor that has room
// for the margins (so a tight container does not cut the overflow off), but never outside a scroll area's
// viewport, which clips it like any other pixel of what scrolls; it follows the component's geometry,
// visibility and ancestors, and neighbours in the layout never move for it.
class VTOverflowLayer : public QWidget {
public:
    VTOverflowLayer(QWidget* target, VTOverflowing* painter, int margin);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void follow();
    QWidget* roomyAncestor() const;

    QWidget* target_;
    VTOverflowing* painter_;
    int margin_;
};
