#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

namespace tilvane::testing {

// The contrast ratio of two colours as accessibility guidelines define it, from 1 (same luminance) to 21.
double contrastRatio(const QColor& first, const QColor& second);

// The colour most pixels of `area` of `image` have: the ground that text is drawn on.
QColor groundColour(const QImage& image, const QRect& area);

// The colour the text drawn in `area` of `image` is drawn in: of the pixels of the area, the one that differs most
// from its ground (the area's most frequent colour). The ground for an area without text.
QColor inkColour(const QImage& image, const QRect& area);

// How well the text drawn in `area` of `image` stands out: its ink's contrast with the area's ground. 1 for an area
// without text.
double textContrast(const QImage& image, const QRect& area);

// How well the outline of the square `box` of `image` (a check box's indicator) stands out, from the weakest of its
// four edges: at the middle of an edge, the pixel of its two outermost lines that differs most from the ground two
// pixels outside the box, and the lower of its contrasts with that ground and with the fill two pixels inside.
double outlineContrast(const QImage& image, const QRect& box);

}  // namespace tilvane::testing
