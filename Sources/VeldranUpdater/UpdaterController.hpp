#pragma once

#include "VeldranUpdater/Updater.hpp"

#include <QObject>

namespace veldran {

// Owns the updater of one bundle together with its user interface (the services' user driver).
// The updater is created without being started: its owner configures it, then calls startUpdater().
class UpdaterController : public QObject {
    Q_OBJECT

public:
    UpdaterController(QString bundleRoot, UpdaterDelegate& delegate, UpdaterServices services,
                      QObject* parent = nullptr);

    Updater& updater() noexcept { return updater_; }

    // A check started by the user.
    void checkForUpdates();

private:
    Updater updater_;
};

}  // namespace veldran
