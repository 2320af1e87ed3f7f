#pragma once

#include <QString>

namespace veldran {

// Starts the freshly installed application and ends this one.
class Relauncher {
public:
    virtual ~Relauncher() = default;
    virtual void relaunch(const QString& bundleRoot) = 0;
};

}  // namespace veldran
