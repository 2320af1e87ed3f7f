#pragma once

#include <QPalette>

struct VTTheme;

// The palette, every role in every colour group, for the windows the platform draws itself over a kit window
// (alerts, file panels, their questions and menus) in the Fusion style: the page as their ground, the theme's text,
// the chips' colours for buttons and the brand colour for selection, so that they read like the window they open over.
QPalette vtStockPalette(const VTTheme& theme);
