#pragma once

#include "VemiTerminal/Components/VTAccessibleText.hpp"

#include <QWidget>

// What a chip shows besides its text, named at the call site: `VTChip(text, {.showsGlyph = true})`.
struct VTChipOptions {
    bool showsGlyph = false;  // the glyph "⊕" before the text
};

// The kit's small tag: optionally the glyph "⊕", then the text lower-cased, in `pixelSM`, `chipFg` on `chipBg`.
class VTChip : public QWidget, public VTAccessibleText {
    Q_OBJECT
public:
    explicit VTChip(const QString& text, VTChipOptions options = {}, QWidget* parent = nullptr);

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
