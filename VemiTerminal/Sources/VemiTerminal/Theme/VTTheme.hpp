#pragma once

#include "VemiTerminal/Theme/VTAppearance.hpp"

#include <QColor>
#include <QString>

// The colours every kit component paints with. Equality is field by field, in declaration order.
struct VTTheme {
    QString name;
    bool isDark = false;
    QColor bgPage;
    QColor bgSection;
    QColor bgWindow;
    QColor fg;
    QColor fgMuted;
    QColor border;
    QColor rule;
    QColor barBg;
    QColor barFg;
    QColor barBgActive;
    QColor barFgActive;
    QColor glyphBg;
    QColor glyphFg;
    QColor btnBg;
    QColor btnBgHover;
    QColor btnFg;
    QColor chipBg;
    QColor chipFg;
    QColor dot;
    QColor shadowColor;

    bool operator==(const VTTheme&) const = default;

    // "Vemi", the light theme (the default), and "Noite", the dark one.
    static const VTTheme& vemi();
    static const VTTheme& noite();
};

// The ink of a disabled control (its text, the outline of its indicator) on the opaque `ground`: the theme's `fg` at
// 55 % laid over it. Plainly fainter than `fg`, yet at least 3:1 against the theme's grounds.
QColor vtDisabledInk(const VTTheme& theme, const QColor& ground);

// `vemi` and `noite` choose their theme; `system` gives "Noite" on a dark desktop and "Vemi" otherwise.
const VTTheme& vtResolveTheme(VTAppearance appearance, bool systemIsDark);

// A theme role as a colour that follows the desktop: Noite's colour for `role` while the desktop is dark, Vemi's
// otherwise, read anew at each call from the application palette as the `system` appearance reads it. The user's
// appearance is not consulted.
QColor vtColor(QColor VTTheme::*role);
