#pragma once

#include "VeldranUpdater/TransportPolicy.hpp"

#include <QString>

#include <memory>
#include <optional>

namespace veldran {

class Relauncher;
class UpdateUserDriver;

// What an updater talks to besides the network. Every member has the application's own default;
// tests replace them.
struct UpdaterServices {
    std::optional<QString> settingsFile;           // the application's QSettings when absent
    std::shared_ptr<UpdateUserDriver> userDriver;  // modal dialogs when null
    std::shared_ptr<Relauncher> relauncher;        // restarts the installed executable when null
    TransportPolicy transportPolicy = TransportPolicy::httpsOnly();
};

}  // namespace veldran
