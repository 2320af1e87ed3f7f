#pragma once

#include "VeldranUpdater/Relauncher.hpp"

namespace veldran {

// Quits the application and, as it quits, starts <bundle>/bin/<this executable's name> anew.
class ProcessRelauncher final : public Relauncher {
public:
    void relaunch(const QString& bundleRoot) override;
};

}  // namespace veldran
