#include "VeldranUpdater/UpdaterController.hpp"

namespace veldran {

UpdaterController::UpdaterController(QString bundleRoot, UpdaterDelegate& delegate, UpdaterServices services,
                                     QObject* parent)
    : QObject(parent), updater_(std::move(bundleRoot), delegate, std::move(services), this)
{
}

void UpdaterController::checkForUpdates()
{
    updater_.checkForUpdates();
}

}  // namespace veldran
