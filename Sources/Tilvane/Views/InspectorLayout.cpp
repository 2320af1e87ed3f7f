#include "Tilvane/Views/InspectorLayout.hpp"

#include "Tilvane/Views/PixelControls.hpp"

#include "VemiTerminal/Components/VTWindow.hpp"

#include <QGridLayout>
#include <QVBoxLayout>
#include <algorithm>

namespace tilvane {

namespace {
constexpr int choiceSpacing = 8;
constexpr int choiceMinimumHeight = 24;
constexpr int choiceColumns = 2;
}  // namespace

QVBoxLayout* addContentColumn(VTWindow& window, int spacing)
{
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);
    window.setContent(content);
    return column;
}

QGridLayout* newChoiceGrid()
{
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(choiceSpacing);
    grid->setVerticalSpacing(choiceSpacing);
    return grid;
}

void addChoice(QGridLayout& grid, PixelChoiceButton* chip, int position)
{
    chip->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    chip->setMinimumHeight(std::max(choiceMinimumHeight, chip->sizeHint().height()));
    grid.addWidget(chip, position / choiceColumns, position % choiceColumns);
}

}  // namespace tilvane
