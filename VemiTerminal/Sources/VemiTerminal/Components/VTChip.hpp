#pragma once

#include "VemiTerminal/Components/VTAccessibleText.hpp"

#include <QWidget>

// The kit's small tag: optionally the glyph "⊕", then the text lower-cased, in `pixelSM`, `chipFg` on `chipBg`.
class VTChip : public QWidget, public VTAccessibleText {
    Q_OBJECT
public:
    VTChip(const QString& text, bool showsGlyph, QWidget* parent = nullptr);

    // What the chip shows after the glyph.
    QString shownText() const { return text_.toLower(); }
    bool showsGlyph() const { return showsGlyph_; }
    void setText(const QString& text);
    QString accessibleText() const override { return shownText(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    bool showsGlyph_;
};
