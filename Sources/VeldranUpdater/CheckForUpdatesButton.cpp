#include "VeldranUpdater/CheckForUpdatesButton.hpp"

#include "VeldranUpdater/AppUpdater.hpp"

namespace veldran {

CheckForUpdatesButton::CheckForUpdatesButton(AppUpdater& updater, QObject* parent)
    : QAction(QStringLiteral("Buscar atualizações…"), parent), updater_(updater)
{
    connect(this, &QAction::triggered, &updater_, [this] { updater_.checkForUpdates(); });
    connect(&updater_, &AppUpdater::isAvailableChanged, this, &CheckForUpdatesButton::refreshEnabled);
    connect(&updater_, &AppUpdater::canCheckForUpdatesChanged, this, &CheckForUpdatesButton::refreshEnabled);
    refreshEnabled();
}

void CheckForUpdatesButton::refreshEnabled()
{
    setEnabled(updater_.canRequestUpdate());
}

}  // namespace veldran
