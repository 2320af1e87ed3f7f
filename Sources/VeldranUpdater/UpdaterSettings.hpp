#pragma once

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

class QSettings;

namespace veldran {

// What the updater remembers between runs: whether it checks automatically (off until the user
// turns it on) and when it last checked.
class UpdaterSettings {
public:
    // The application's own settings when file is absent; an INI file of its own otherwise.
    explicit UpdaterSettings(const std::optional<QString>& file);
    ~UpdaterSettings();

    bool automaticallyChecks() const;
    void setAutomaticallyChecks(bool automaticallyChecks);

    std::optional<QDateTime> lastCheck() const;
    void setLastCheck(const QDateTime& time);

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace veldran
