#pragma once

#include "VemiTerminal/Components/VTAccessibleText.hpp"

#include <QWidget>

// A short text on a solid badge: `pixelLG`, `glyphFg` on `glyphBg`, padded 4 left and right.
class VTGlyph : public QWidget, public VTAccessibleText {
    Q_OBJECT
public:
    explicit VTGlyph(const QString& text, QWidget* parent = nullptr);

    QString accessibleText() const override { return text_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};
