#pragma once

#include "VemiTerminal/Components/VTAccessibleText.hpp"
#include "VemiTerminal/Theme/VTTheme.hpp"
#include "VemiTerminal/Tokens/VTTextStyle.hpp"

#include <QWidget>

// Text shown verbatim in one of the kit's styles, one line per line feed, at the style's line pitch.
// The colour is a theme role, or, without one, the surrounding foreground (a window's content colour, else `fg`).
class VTText : public QWidget, public VTAccessibleText {
    Q_OBJECT
public:
    using Role = QColor VTTheme::*;

    VTText(const QString& text, VTTextStyle style, Role role = nullptr, QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);
    VTTextStyle style() const { return style_; }
    QString accessibleText() const override { return text_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    VTTextStyle style_;
    Role role_;
};

// The foreground a plain text takes at `widget`: the content colour of the nearest kit window, else the theme's `fg`.
QColor vtForeground(const QWidget* widget);

// A small muted caption in the `label` style.
class VTLabel : public VTText {
    Q_OBJECT
public:
    explicit VTLabel(const QString& text, QWidget* parent = nullptr);
};

// A muted small-print line in the `labelMD` style.
class VTFootnote : public VTText {
    Q_OBJECT
public:
    explicit VTFootnote(const QString& text, QWidget* parent = nullptr);
};
