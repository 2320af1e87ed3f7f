#pragma once

#include <QFont>
#include <QString>
#include <array>

class QWidget;

// The kit's eleven text styles. Sizes, tracking and line heights are in device-independent pixels.
enum class VTTextStyle { displayXL, displayMD, lead, body, nav, pixelLG, pixelMD, pixelSM, label, labelMD, code };

inline constexpr std::array<VTTextStyle, 11> vtAllTextStyles{
    VTTextStyle::displayXL, VTTextStyle::displayMD, VTTextStyle::lead,    VTTextStyle::body,
    VTTextStyle::nav,       VTTextStyle::pixelLG,   VTTextStyle::pixelMD, VTTextStyle::pixelSM,
    VTTextStyle::label,     VTTextStyle::labelMD,   VTTextStyle::code};

// The style's case name ("displayXL", …).
QString vtCaseName(VTTextStyle style);
// The PostScript name of the style's face ("InterTight-Medium", …).
QString vtFontName(VTTextStyle style);
qreal vtSize(VTTextStyle style);
qreal vtTracking(VTTextStyle style);
qreal vtLineHeight(VTTextStyle style);

// The style's font at its fixed pixel size with its tracking; glyphs the face lacks come from DejaVu.
QFont vtFont(VTTextStyle style);
// The face's own line height (ascent + descent + leading), or 1.2 × size when the face is not available.
qreal vtNaturalLineHeight(VTTextStyle style);
// The extra space between lines that brings the pitch up to the style's line height; never negative.
qreal vtExtraLineSpacing(VTTextStyle style);

// Gives a platform widget the style's font (a kit component draws its own text in its style).
void vtTextStyle(QWidget* widget, VTTextStyle style);
