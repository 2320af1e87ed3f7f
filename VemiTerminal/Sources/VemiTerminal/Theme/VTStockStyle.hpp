#pragma once

#include <QProxyStyle>

// The Fusion style with the kit's check boxes, for the windows the platform draws itself (settings, alerts, file
// panels): a square box of the field colour outlined 1 px in the ink of its state (the text colour, or the disabled
// ink) and, when checked, a square mark of that ink inside; keyboard focus outlines it 2 px, as the kit's controls
// do. Fusion's own box is outlined in a shade of the window colour that all but vanishes on a dark window.
// A menu bar that holds the keyboard (Alt, or Escape out of one of its menus) draws its current title in the
// highlight, as it does while that title's menu is open: Fusion highlights a title only while its menu is open, and
// the keyboard's place on the bar would not show.
class VTStockStyle : public QProxyStyle {
    Q_OBJECT
public:
    VTStockStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};
