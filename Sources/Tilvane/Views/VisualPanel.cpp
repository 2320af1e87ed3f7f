#include "Tilvane/Views/VisualPanel.hpp"

#include <QSignalBlocker>

namespace tilvane {

VisualPanel::VisualPanel(const QString& title, bool active, QWidget* parent)
    : VTWindow(title, QStringLiteral("▢"), {.active = active}, parent)
{
}

void VisualPanel::setVisual(const VisualSettings& visual)
{
    visual_ = visual;
    const QSignalBlocker blocker(this);
    refresh();
}

}  // namespace tilvane
