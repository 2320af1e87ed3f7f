#pragma once

#include <QColor>

// The kit's 22 named sRGB colours. Each is built once, on first read, from its four-decimal literals.
struct VTPalette {
    static const QColor& vemi();
    static const QColor& vemiLight();
    static const QColor& ink();
    static const QColor& inkMuted();
    static const QColor& paper();
    static const QColor& white();
    static const QColor& silver();
    static const QColor& gray300();
    static const QColor& gray600();
    static const QColor& sage();
    static const QColor& magenta();
    static const QColor& teal();
    static const QColor& green();
    static const QColor& greenSoft();
    static const QColor& scrim();
    static const QColor& hairlineDashed();
    static const QColor& white16();
    static const QColor& night();
    static const QColor& plum();
    static const QColor& coal();
    static const QColor& graphite();
    static const QColor& mist();
};

// A new colour with the components of `colour` and the given opacity.
QColor vtWithOpacity(const QColor& colour, double opacity);
// `top` laid over the opaque `ground`, as the screen shows it: an opaque colour.
QColor vtOver(const QColor& top, const QColor& ground);
