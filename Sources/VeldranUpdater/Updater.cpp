#include "VeldranUpdater/Updater.hpp"

#include "VeldranUpdater/DialogUserDriver.hpp"
#include "VeldranUpdater/HostBundle.hpp"
#include "VeldranUpdater/ProcessRelauncher.hpp"
#include "VeldranUpdater/StagingFolder.hpp"
#include "VeldranUpdater/UpdateError.hpp"
#include "VeldranUpdater/UpdateSession.hpp"
#include "VeldranUpdater/UpdaterDelegate.hpp"

#include <QJsonObject>

#include <algorithm>

namespace veldran {
namespace {

constexpr qint64 dayMilliseconds = 24LL * 60 * 60 * 1000;

UpdaterServices withDefaults(UpdaterServices services)
{
    if (!services.userDriver) {
        services.userDriver = std::make_shared<DialogUserDriver>();
    }
    if (!services.relauncher) {
        services.relauncher = std::make_shared<ProcessRelauncher>();
    }
    return services;
}

}  // namespace

Updater::Updater(QString bundleRoot, UpdaterDelegate& delegate, UpdaterServices services, QObject* parent)
    : QObject(parent),
      bundleRoot_(std::move(bundleRoot)),
      delegate_(delegate),
      services_(withDefaults(std::move(services))),
      settings_(services_.settingsFile)
{
    scheduledCheck_.setSingleShot(true);
    connect(&scheduledCheck_, &QTimer::timeout, this, [this] { beginCheck(false); });
}

Updater::~Updater()
{
    delete session_;
}

bool Updater::automaticallyChecksForUpdates() const
{
    return settings_.automaticallyChecks();
}

void Updater::setAutomaticallyChecksForUpdates(bool automaticallyChecks)
{
    if (automaticallyChecks == settings_.automaticallyChecks()) {
        return;
    }
    settings_.setAutomaticallyChecks(automaticallyChecks);
    scheduleNextCheck();
    emit automaticallyChecksForUpdatesChanged(automaticallyChecks);
}

void Updater::setAutomaticallyDownloadsUpdates(bool automaticallyDownloads) noexcept
{
    automaticallyDownloadsUpdates_ = automaticallyDownloads;
}

void Updater::setSendsSystemProfile(bool sendsProfile) noexcept
{
    sendsSystemProfile_ = sendsProfile;
}

void Updater::startUpdater()
{
    if (started_) {
        return;
    }
    if (automaticallyDownloadsUpdates_ || sendsSystemProfile_) {
        throw UpdateError(UpdateErrorCase::unsupportedSetting);
    }
    const QJsonObject info = readBundleInfo(bundleRoot_);
    publicKey_ = Ed25519PublicKey::fromBase64(info.value(QStringLiteral("SUPublicEDKey")).toString());
    if (!publicKey_) {
        throw UpdateError(UpdateErrorCase::invalidPublicKey);
    }
    runningVersion_ = BuildVersion::parse(info.value(QStringLiteral("CFBundleVersion")).toString());
    if (!runningVersion_) {
        throw UpdateError(UpdateErrorCase::missingBuildVersion);
    }
    if (!services_.transportPolicy.allows(QUrl(delegate_.feedURLString(*this), QUrl::StrictMode))) {
        throw UpdateError(UpdateErrorCase::insecureAddress);
    }
    started_ = true;
    // What killed updates left beside the bundle goes as soon as the updater runs, not only at the next check.
    StagingFolder::removeStale(bundleRoot_);
    setCanCheckForUpdates(true);
    scheduleNextCheck();
}

void Updater::checkForUpdates()
{
    beginCheck(true);
}

void Updater::beginCheck(bool userInitiated)
{
    if (!canCheckForUpdates_) {
        return;
    }
    const QUrl feedAddress(delegate_.feedURLString(*this), QUrl::StrictMode);
    // No profile is ever sent (see startUpdater), but the delegate keeps its say over every check.
    Q_UNUSED(delegate_.allowedSystemProfileKeys(*this));
    setCanCheckForUpdates(false);
    session_ =
        new UpdateSession(UpdateRequest{feedAddress, *publicKey_, *runningVersion_, bundleRoot_, userInitiated},
                          network_, services_.transportPolicy, *services_.userDriver, *services_.relauncher, this);
    connect(session_, &UpdateSession::finished, this, &Updater::checkFinished);
    session_->start();
}

void Updater::checkFinished()
{
    session_->deleteLater();
    session_ = nullptr;
    settings_.setLastCheck(QDateTime::currentDateTimeUtc());
    setCanCheckForUpdates(true);
    scheduleNextCheck();
}

// With automatic checking on, the next check comes a day after the last one, or at once when a
// day has already passed (or no check was ever made).
void Updater::scheduleNextCheck()
{
    scheduledCheck_.stop();
    if (!started_ || !settings_.automaticallyChecks()) {
        return;
    }
    qint64 delay = 0;
    if (const auto lastCheck = settings_.lastCheck()) {
        delay = std::clamp(QDateTime::currentDateTimeUtc().msecsTo(lastCheck->addMSecs(dayMilliseconds)), qint64(0),
                           dayMilliseconds);
    }
    scheduledCheck_.start(std::chrono::milliseconds(delay));
}

void Updater::setCanCheckForUpdates(bool canCheck)
{
    if (canCheck == canCheckForUpdates_) {
        return;
    }
    canCheckForUpdates_ = canCheck;
    emit canCheckForUpdatesChanged(canCheck);
}

}  // namespace veldran
