#pragma once

#include <QList>

class QWidget;

namespace tilvane::focus_chain {

// The controls Tab can reach inside `root`, in the order the screen shows them: the items of each box layout in
// its direction (top to bottom, left to right), those of a grid row by row, then the children no layout places, by
// where they stand. Hidden controls keep their place, so that they fall in line when shown. Other windows are left out.
QList<QWidget*> screenOrder(QWidget& root);

// Puts the window's focus chain through `root` in screen order, so that Tab and Backtab follow what the user sees
// rather than the order in which the controls were made.
void arrange(QWidget& root);

}  // namespace tilvane::focus_chain
