#pragma once

#include "Tilvane/Views/AccessibleControl.hpp"
#include "Tilvane/Views/ColorPicker.hpp"

#include <QAbstractButton>

class VTKeyboardFocus;

namespace tilvane {

// A square-cornered colour well: the shown colour inside a 1-px `border` outline. A click asks the picker for a
// colour and reports it (`picked`) without changing what it shows; the owner decides and sets the colour. Focus
// the keyboard uses draws the kit's focus ring just inside the outline.
class ColorWell : public QAbstractButton, public AccessibleControl {
    Q_OBJECT
public:
    ColorWell(const QString& pickerTitle, ColorPicker picker, QWidget* parent = nullptr);

    QColor color() const { return color_; }
    void setColor(const QColor& color);
    // The title the picker shows.
    void setPickerTitle(const QString& title) { pickerTitle_ = title; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    QString accessibleValue() const override;
    bool isAccessiblePressable() const override { return true; }
    void accessiblePress() override { click(); }

signals:
    void picked(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void pick();

    QString pickerTitle_;
    ColorPicker picker_;
    QColor color_;
    VTKeyboardFocus* keyboardFocus_;
};

}  // namespace tilvane
