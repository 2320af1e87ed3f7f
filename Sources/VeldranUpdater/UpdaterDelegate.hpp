#pragma once

#include <QString>
#include <QStringList>

namespace veldran {

class Updater;

// The host's say over every check: the updater asks it before each one.
class UpdaterDelegate {
public:
    virtual ~UpdaterDelegate() = default;

    virtual QString feedURLString(const Updater& updater) const = 0;
    virtual QStringList allowedSystemProfileKeys(const Updater& updater) const = 0;
};

}  // namespace veldran
