#pragma once

class QGridLayout;
class QVBoxLayout;
class VTWindow;

namespace tilvane {

class PixelChoiceButton;

// The layouts the inspector's panels and controls share.

// Gives `window` a content column flush with its padding, its rows `spacing` px apart, and returns the column.
QVBoxLayout* addContentColumn(VTWindow& window, int spacing);

// A grid for choice chips, 8 px apart both ways.
QGridLayout* newChoiceGrid();

// Places `chip` at `position` of a grid two chips wide: as wide as its column, at least 24 px high.
void addChoice(QGridLayout& grid, PixelChoiceButton* chip, int position);

}  // namespace tilvane
