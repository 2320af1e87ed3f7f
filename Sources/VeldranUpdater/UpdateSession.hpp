#pragma once

#include "VeldranUpdater/Appcast.hpp"
#include "VeldranUpdater/BoundedDownload.hpp"
#include "VeldranUpdater/BuildVersion.hpp"
#include "VeldranUpdater/Ed25519PublicKey.hpp"
#include "VeldranUpdater/TransportPolicy.hpp"

#include <QBuffer>
#include <QFile>
#include <QObject>
#include <QUrl>

#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace veldran {

class Relauncher;
class StagingFolder;
class UpdateUserDriver;

// What one check needs to know about the running application.
struct UpdateRequest {
    QUrl feedAddress;
    Ed25519PublicKey publicKey;
    BuildVersion runningVersion;
    QString bundleRoot;
    bool userInitiated = false;
};

// One check, from the feed to the relaunch: fetch the feed (at most 1 MiB) and verify its signature,
// parse it, offer the newest newer item, and only once the user accepts download the archive into a
// staging folder beside the bundle, verify its signature, extract it, ask again, and put it in the
// bundle's place. Failures reach the user only on a check the user started; the staging folder is
// removed whatever happens, and those that interrupted updates left are removed when a check starts
// and before each new staging.
class UpdateSession : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 maximumFeedBytes = 1024 * 1024;

    UpdateSession(UpdateRequest request, QNetworkAccessManager& network, TransportPolicy policy,
                  UpdateUserDriver& userDriver, Relauncher& relauncher, QObject* parent = nullptr);
    ~UpdateSession() override;

    void start();

signals:
    // Emitted exactly once, from the event loop.
    void finished();

private:
    void feedDownloaded(BoundedDownload::Outcome outcome);
    void offer(const AppcastItem& item);
    void archiveDownloaded(BoundedDownload::Outcome outcome);
    void installStagedBundle();
    template <typename Step>
    void runStep(Step step);
    void finish();

    UpdateRequest request_;
    TransportPolicy policy_;
    UpdateUserDriver& userDriver_;
    Relauncher& relauncher_;
    BoundedDownload download_;
    QBuffer feed_;
    std::optional<AppcastItem> item_;
    std::unique_ptr<StagingFolder> staging_;
    QFile archive_;
    bool finished_ = false;
};

}  // namespace veldran
