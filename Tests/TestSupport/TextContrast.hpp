#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

namespace tilvane::testing {

// The contrast ratio of two colours as accessibility guidelines define it, from 1 (same luminance) to 21.
double contrastRatio(const QColor& first, const QColor& second);

// The colour most pixels of `area` of `image` have: the ground that text is drawn on.
QColor groundColour(const QImage& image, const QRect& area);

// How well the text drawn in `area` of `image` stands out: the area's most frequent colour is its background and
// the pixel that differs most from it is taken as the text's colour. 1 for an area without text.
double textContrast(const QImage& image, const QRect& area);

}  // namespace tilvane::testing
