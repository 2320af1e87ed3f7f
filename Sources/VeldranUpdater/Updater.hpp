#pragma once

#include "VeldranUpdater/BuildVersion.hpp"
#include "VeldranUpdater/Ed25519PublicKey.hpp"
#include "VeldranUpdater/UpdaterServices.hpp"
#include "VeldranUpdater/UpdaterSettings.hpp"

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <optional>

namespace veldran {

class UpdateSession;
class UpdaterDelegate;

// Checks the signed feed of one application bundle and installs what the user accepts.
// Nothing happens before startUpdater(); afterwards a check runs when the user asks and, when
// automatic checking is on, once a day (silently unless it finds something).
class Updater : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)
    Q_PROPERTY(bool automaticallyChecksForUpdates READ automaticallyChecksForUpdates WRITE
                   setAutomaticallyChecksForUpdates NOTIFY automaticallyChecksForUpdatesChanged)

public:
    Updater(QString bundleRoot, UpdaterDelegate& delegate, UpdaterServices services, QObject* parent = nullptr);
    ~Updater() override;

    // True once started and while no check is running.
    bool canCheckForUpdates() const noexcept { return canCheckForUpdates_; }

    bool automaticallyChecksForUpdates() const;
    void setAutomaticallyChecksForUpdates(bool automaticallyChecks);

    // This updater always asks before downloading and never sends a system profile; it accepts
    // these choices only switched off, and refuses to start otherwise.
    void setAutomaticallyDownloadsUpdates(bool automaticallyDownloads) noexcept;
    void setSendsSystemProfile(bool sendsProfile) noexcept;

    // Reads the bundle's public key and build version; throws UpdateError when they are unusable,
    // when the delegate's feed address is not allowed, or when a refused choice is switched on.
    // A second call does nothing.
    void startUpdater();

    // A check started by the user; does nothing unless canCheckForUpdates().
    void checkForUpdates();

signals:
    void canCheckForUpdatesChanged(bool canCheck);
    void automaticallyChecksForUpdatesChanged(bool automaticallyChecks);

private:
    void beginCheck(bool userInitiated);
    void checkFinished();
    void scheduleNextCheck();
    void setCanCheckForUpdates(bool canCheck);

    QString bundleRoot_;
    UpdaterDelegate& delegate_;
    UpdaterServices services_;
    UpdaterSettings settings_;
    QNetworkAccessManager network_;
    QTimer scheduledCheck_;
    std::optional<Ed25519PublicKey> publicKey_;
    std::optional<BuildVersion> runningVersion_;
    QPointer<UpdateSession> session_;
    bool started_ = false;
    bool canCheckForUpdates_ = false;
    bool automaticallyDownloadsUpdates_ = false;
    bool sendsSystemProfile_ = false;
};

}  // namespace veldran
