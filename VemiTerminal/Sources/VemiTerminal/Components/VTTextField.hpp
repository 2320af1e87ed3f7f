#pragma once

#include <QLineEdit>

// A single-line text field in the kit's look: `pixelMD` text in `fg` on `bgWindow`, padded 8 and 6, inside a
// rounded outline (radius 4) in `border` that thickens inwards from 1 to 2 pt while the field has focus. Screen
// readers know it by the placeholder given here unless the caller names it (setAccessibleName).
class VTTextField : public QLineEdit {
    Q_OBJECT
public:
    explicit VTTextField(const QString& placeholder = {}, QWidget* parent = nullptr);

    qreal borderWidth() const { return focused_ ? 2 : 1; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void followTheme();

    bool focused_ = false;
};
