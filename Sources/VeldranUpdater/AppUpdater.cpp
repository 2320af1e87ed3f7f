#include "VeldranUpdater/AppUpdater.hpp"

#include "VeldranUpdater/Ed25519PublicKey.hpp"
#include "VeldranUpdater/HostBundle.hpp"
#include "VeldranUpdater/UpdateError.hpp"
#include "VeldranUpdater/UpdaterController.hpp"

#include <QPointer>

namespace veldran {
namespace {

constexpr char feedPrefix[] = "https://updates.veldran.studio/";
constexpr char feedSuffix[] = "/updates/appcast.xml";

bool hasText(const QJsonObject& info, const QString& key, const QString& expected)
{
    const QJsonValue value = info.value(key);
    return value.isString() && value.toString() == expected;
}

bool hasBoolean(const QJsonObject& info, const QString& key, bool expected)
{
    const QJsonValue value = info.value(key);
    return value.isBool() && value.toBool() == expected;
}

bool hasPublicKey(const QJsonObject& info, const QString& key)
{
    const QJsonValue value = info.value(key);
    return value.isString() && Ed25519PublicKey::fromBase64(value.toString()).has_value();
}

}  // namespace

AppUpdater::AppUpdater(QString app, UpdaterEnvironment environment, QObject* parent)
    : QObject(parent), app_(std::move(app)), environment_(std::move(environment))
{
}

AppUpdater::~AppUpdater()
{
    stopObserving();
    delete controller_;
}

void AppUpdater::setAutomaticallyChecksForUpdates(bool automaticallyChecks)
{
    if (automaticallyChecks != automaticallyChecksForUpdates_) {
        automaticallyChecksForUpdates_ = automaticallyChecks;
        emit automaticallyChecksForUpdatesChanged(automaticallyChecks);
    }
    // The updater reports the written value back through the observation, which then finds
    // nothing to change: no loop.
    if (controller_ != nullptr
        && controller_->updater().automaticallyChecksForUpdates() != automaticallyChecksForUpdates_) {
        controller_->updater().setAutomaticallyChecksForUpdates(automaticallyChecksForUpdates_);
    }
}

void AppUpdater::start()
{
    if (started_) {
        return;
    }
    started_ = true;
    const QString bundleRoot = environment_.bundleRoot.value_or(runningBundleRoot());
    if (!isApplicationBundle(bundleRoot)) {
        return;
    }
    if (!hasSafeConfiguration(readBundleInfo(bundleRoot), feedURL())) {
        return;
    }
    controller_ = new UpdaterController(bundleRoot, *this, environment_.services, this);
    Updater& updater = controller_->updater();
    updater.setAutomaticallyDownloadsUpdates(false);
    updater.setSendsSystemProfile(false);
    observe(updater);
    try {
        updater.startUpdater();
        setIsAvailable(true);
    } catch (const UpdateError&) {
        stopObserving();
        delete controller_;
        controller_ = nullptr;
        setCanCheckForUpdates(false);
        // The observation may already have shown the stored "on"; a disabled toggle must not.
        setAutomaticallyChecksForUpdates(false);
    }
}

bool AppUpdater::hasSafeConfiguration(const QJsonObject& info, const QString& feedURL)
{
    return !info.isEmpty() && hasText(info, QStringLiteral("SUFeedURL"), feedURL)
           && hasPublicKey(info, QStringLiteral("SUPublicEDKey"))
           && hasBoolean(info, QStringLiteral("SURequireSignedFeed"), true)
           && hasBoolean(info, QStringLiteral("SUVerifyUpdateBeforeExtraction"), true)
           && hasBoolean(info, QStringLiteral("SUAllowsAutomaticUpdates"), false)
           && hasBoolean(info, QStringLiteral("SUAutomaticallyUpdate"), false);
}

QString AppUpdater::feedURL() const
{
    return environment_.feedAddress.value_or(feedURL(app_));
}

QString AppUpdater::feedURL(const QString& app)
{
    return QString::fromLatin1(feedPrefix) + app + QString::fromLatin1(feedSuffix);
}

void AppUpdater::checkForUpdates()
{
    if (isAvailable_ && canCheckForUpdates_ && controller_ != nullptr) {
        controller_->checkForUpdates();
    }
}

QString AppUpdater::feedURLString(const Updater&) const
{
    return feedURL();
}

QStringList AppUpdater::allowedSystemProfileKeys(const Updater&) const
{
    return {};
}

// Each observation mirrors the updater's current value at once and after every change; it ends
// with its connection, or when either object is gone.
void AppUpdater::observe(Updater& updater)
{
    const QPointer<Updater> observed(&updater);
    const auto mirrorCanCheck = [this, observed] {
        if (observed) {
            setCanCheckForUpdates(observed->canCheckForUpdates());
        }
    };
    const auto mirrorAutomaticChecks = [this, observed] {
        if (observed && observed->automaticallyChecksForUpdates() != automaticallyChecksForUpdates_) {
            automaticallyChecksForUpdates_ = observed->automaticallyChecksForUpdates();
            emit automaticallyChecksForUpdatesChanged(automaticallyChecksForUpdates_);
        }
    };
    observations_.append(connect(&updater, &Updater::canCheckForUpdatesChanged, this, mirrorCanCheck));
    observations_.append(
        connect(&updater, &Updater::automaticallyChecksForUpdatesChanged, this, mirrorAutomaticChecks));
    mirrorCanCheck();
    mirrorAutomaticChecks();
}

void AppUpdater::stopObserving()
{
    for (const QMetaObject::Connection& observation : std::as_const(observations_)) {
        disconnect(observation);
    }
    observations_.clear();
}

void AppUpdater::setIsAvailable(bool isAvailable)
{
    if (isAvailable != isAvailable_) {
        isAvailable_ = isAvailable;
        emit isAvailableChanged(isAvailable);
    }
}

void AppUpdater::setCanCheckForUpdates(bool canCheck)
{
    if (canCheck != canCheckForUpdates_) {
        canCheckForUpdates_ = canCheck;
        emit canCheckForUpdatesChanged(canCheck);
    }
}

}  // namespace veldran
