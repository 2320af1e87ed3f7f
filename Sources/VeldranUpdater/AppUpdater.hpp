#pragma once

#include "VeldranUpdater/UpdaterDelegate.hpp"
#include "VeldranUpdater/UpdaterServices.hpp"

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

namespace veldran {

class UpdaterController;

// Where an AppUpdater looks for its bundle and feed. The defaults describe the running
// application; tests point it at a temporary bundle and a loopback server.
struct UpdaterEnvironment {
    std::optional<QString> bundleRoot;   // found from the running executable when absent
    std::optional<QString> feedAddress;  // AppUpdater::feedURL(app) when absent
    UpdaterServices services;
};

// The application's updater. It starts only inside a real application bundle ("*.app") whose
// update keys are safe, and otherwise stays inert for the whole run: the command is disabled and
// the settings say that automatic updates are not available. Used on the main thread only.
class AppUpdater : public QObject, public UpdaterDelegate {
    Q_OBJECT
    Q_PROPERTY(bool isAvailable READ isAvailable NOTIFY isAvailableChanged)
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)
    Q_PROPERTY(bool automaticallyChecksForUpdates READ automaticallyChecksForUpdates WRITE
                   setAutomaticallyChecksForUpdates NOTIFY automaticallyChecksForUpdatesChanged)

public:
    explicit AppUpdater(QString app, UpdaterEnvironment environment = {}, QObject* parent = nullptr);
    ~AppUpdater() override;

    const QString& app() const noexcept { return app_; }

    bool isAvailable() const noexcept { return isAvailable_; }
    bool canCheckForUpdates() const noexcept { return canCheckForUpdates_; }
    bool automaticallyChecksForUpdates() const noexcept { return automaticallyChecksForUpdates_; }
    // Stores the value and, while the updater runs, writes it through to it.
    void setAutomaticallyChecksForUpdates(bool automaticallyChecks);

    // Starts the updater once when it is safe; later calls do nothing, whatever the first did.
    void start();

    // The six update keys of the bundle, in this order: SUFeedURL equal to feedURL,
    // SUPublicEDKey strict Base64 of 32 bytes, SURequireSignedFeed true,
    // SUVerifyUpdateBeforeExtraction true, SUAllowsAutomaticUpdates false, SUAutomaticallyUpdate
    // false. Only JSON strings count as text and only JSON Booleans as Booleans.
    static bool hasSafeConfiguration(const QJsonObject& info, const QString& feedURL);

    QString feedURL() const;
    static QString feedURL(const QString& app);

    bool canRequestUpdate() const noexcept { return isAvailable_ && canCheckForUpdates_; }

    // A check started by the user, with the updater's own dialogs; nothing unless canRequestUpdate().
    void checkForUpdates();

    QString feedURLString(const Updater& updater) const override;
    QStringList allowedSystemProfileKeys(const Updater& updater) const override;

signals:
    void isAvailableChanged(bool isAvailable);
    void canCheckForUpdatesChanged(bool canCheck);
    void automaticallyChecksForUpdatesChanged(bool automaticallyChecks);

private:
    void observe(Updater& updater);
    void stopObserving();
    void setIsAvailable(bool isAvailable);
    void setCanCheckForUpdates(bool canCheck);

    const QString app_;
    bool isAvailable_ = false;
    bool canCheckForUpdates_ = false;
    bool automaticallyChecksForUpdates_ = false;
    UpdaterController* controller_ = nullptr;
    QList<QMetaObject::Connection> observations_;
    bool started_ = false;
    UpdaterEnvironment environment_;
};

}  // namespace veldran
