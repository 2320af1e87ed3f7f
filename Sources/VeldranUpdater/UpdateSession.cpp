#include "VeldranUpdater/UpdateSession.hpp"

#include "VeldranUpdater/ArchiveExtractor.hpp"
#include "VeldranUpdater/BundleInstaller.hpp"
#include "VeldranUpdater/HostBundle.hpp"
#include "VeldranUpdater/Relauncher.hpp"
#include "VeldranUpdater/SignedFeed.hpp"
#include "VeldranUpdater/StagingFolder.hpp"
#include "VeldranUpdater/UpdateError.hpp"
#include "VeldranUpdater/UpdateUserDriver.hpp"

#include <QDir>
#include <QFileInfo>

namespace veldran {
namespace {

[[noreturn]] void refuse(UpdateErrorCase errorCase)
{
    throw UpdateError(errorCase);
}

}  // namespace

UpdateSession::UpdateSession(UpdateRequest request, QNetworkAccessManager& network, TransportPolicy policy,
                             UpdateUserDriver& userDriver, Relauncher& relauncher, QObject* parent)
    : QObject(parent),
      request_(std::move(request)),
      policy_(policy),
      userDriver_(userDriver),
      relauncher_(relauncher),
      download_(network, policy)
{
}

UpdateSession::~UpdateSession() = default;

void UpdateSession::start()
{
    StagingFolder::removeStale(request_.bundleRoot);
    feed_.open(QIODevice::WriteOnly);
    connect(&download_, &BoundedDownload::finished, this, &UpdateSession::feedDownloaded);
    download_.start(request_.feedAddress, maximumFeedBytes, feed_);
}

template <typename Step>
void UpdateSession::runStep(Step step)
{
    try {
        step();
    } catch (const UpdateError& error) {
        staging_.reset();
        if (request_.userInitiated) {
            userDriver_.showFailure(QString::fromUtf8(error.what()));
        }
        finish();
    }
}

void UpdateSession::feedDownloaded(BoundedDownload::Outcome outcome)
{
    runStep([&] {
        switch (outcome) {
        case BoundedDownload::Outcome::completed:
            break;
        case BoundedDownload::Outcome::exceededLimit:
            refuse(UpdateErrorCase::feedTooLarge);
        case BoundedDownload::Outcome::refusedAddress:
            refuse(UpdateErrorCase::insecureAddress);
        case BoundedDownload::Outcome::failed:
            refuse(UpdateErrorCase::feedUnavailable);
        }
        const QByteArray document = verifiedFeedDocument(feed_.data(), request_.publicKey);
        const auto newest = newestItemAbove(parseAppcast(document), request_.runningVersion);
        if (!newest) {
            if (request_.userInitiated) {
                userDriver_.showUpToDate();
            }
            finish();
            return;
        }
        offer(*newest);
    });
}

void UpdateSession::offer(const AppcastItem& item)
{
    if (!policy_.allows(item.archiveURL)) {
        refuse(UpdateErrorCase::insecureAddress);
    }
    if (!userDriver_.confirmDownload(item)) {
        finish();
        return;
    }
    item_ = item;
    StagingFolder::removeStale(request_.bundleRoot);
    staging_ = std::make_unique<StagingFolder>(request_.bundleRoot);
    archive_.setFileName(staging_->filePath(QStringLiteral("update.archive")));
    if (!staging_->isValid() || !archive_.open(QIODevice::WriteOnly)) {
        refuse(UpdateErrorCase::stagingUnavailable);
    }
    disconnect(&download_, nullptr, this, nullptr);
    connect(&download_, &BoundedDownload::finished, this, &UpdateSession::archiveDownloaded);
    download_.start(item.archiveURL, item.archiveLength, archive_);
}

void UpdateSession::archiveDownloaded(BoundedDownload::Outcome outcome)
{
    runStep([&] {
        archive_.close();
        switch (outcome) {
        case BoundedDownload::Outcome::completed:
            break;
        case BoundedDownload::Outcome::exceededLimit:
            refuse(UpdateErrorCase::archiveLengthMismatch);
        case BoundedDownload::Outcome::refusedAddress:
            refuse(UpdateErrorCase::insecureAddress);
        case BoundedDownload::Outcome::failed:
            refuse(UpdateErrorCase::archiveUnavailable);
        }
        if (download_.receivedBytes() != item_->archiveLength) {
            refuse(UpdateErrorCase::archiveLengthMismatch);
        }
        if (!archive_.open(QIODevice::ReadOnly)) {
            refuse(UpdateErrorCase::stagingUnavailable);
        }
        const uchar* bytes = archive_.map(0, archive_.size());
        const bool signatureHolds =
            bytes != nullptr
            && request_.publicKey.verifies(QByteArrayView(bytes, archive_.size()), item_->archiveSignature);
        archive_.close();
        if (!signatureHolds) {
            refuse(UpdateErrorCase::badArchiveSignature);
        }
        installStagedBundle();
    });
}

void UpdateSession::installStagedBundle()
{
    const QString extracted = staging_->filePath(QStringLiteral("extracted"));
    if (!QDir().mkdir(extracted)) {
        refuse(UpdateErrorCase::stagingUnavailable);
    }
    extractArchive(archive_.fileName(), extracted);
    QFile::remove(archive_.fileName());

    const QString bundleName = QFileInfo(request_.bundleRoot).fileName();
    const QFileInfo staged(extracted + u'/' + bundleName);
    const QJsonValue stagedVersion = readBundleInfo(staged.filePath()).value(QStringLiteral("CFBundleVersion"));
    const auto version = BuildVersion::parse(stagedVersion.toString());
    if (!staged.isDir() || staged.isSymLink() || !stagedVersion.isString() || !version
        || *version <= request_.runningVersion) {
        refuse(UpdateErrorCase::invalidUpdateBundle);
    }
    // A link may stay inside the extracted folder yet leave the bundle, the only part moved into place.
    requireLinksResolveInside(staged.filePath());
    if (!userDriver_.confirmInstall(*item_)) {
        staging_.reset();
        finish();
        return;
    }
    try {
        BundleInstaller().install(staged.filePath(), request_.bundleRoot, staging_->savedApplicationPath());
    } catch (const UpdateError& error) {
        if (error.errorCase() == UpdateErrorCase::rollbackFailed) {
            // The running version now exists only in the staging folder, which must stay.
            staging_->keep();
        }
        throw;
    }
    staging_.reset();
    relauncher_.relaunch(request_.bundleRoot);
    finish();
}

void UpdateSession::finish()
{
    if (finished_) {
        return;
    }
    finished_ = true;
    QMetaObject::invokeMethod(this, &UpdateSession::finished, Qt::QueuedConnection);
}

}  // namespace veldran
