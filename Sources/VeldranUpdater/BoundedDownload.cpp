#include "VeldranUpdater/BoundedDownload.hpp"

#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace veldran {
namespace {

constexpr int transferTimeoutMilliseconds = 30'000;
constexpr int maximumRedirects = 5;

}  // namespace

BoundedDownload::BoundedDownload(QNetworkAccessManager& network, TransportPolicy policy, QObject* parent)
    : QObject(parent), network_(network), policy_(policy)
{
}

BoundedDownload::~BoundedDownload()
{
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
}

void BoundedDownload::start(const QUrl& url, qint64 byteLimit, QIODevice& sink)
{
    sink_ = &sink;
    byteLimit_ = byteLimit;
    receivedBytes_ = 0;
    concluded_ = false;
    if (!policy_.allows(url)) {
        conclude(Outcome::refusedAddress);
        return;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(maximumRedirects);
    request.setTransferTimeout(transferTimeoutMilliseconds);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    reply_ = network_.get(request);
    connect(reply_, &QNetworkReply::redirected, this, [this](const QUrl& target) {
        if (policy_.allows(target)) {
            emit reply_->redirectAllowed();
        } else {
            conclude(Outcome::refusedAddress);
        }
    });
    connect(reply_, &QNetworkReply::metaDataChanged, this, &BoundedDownload::checkDeclaredLength);
    connect(reply_, &QNetworkReply::readyRead, this, &BoundedDownload::readAvailable);
    connect(reply_, &QNetworkReply::finished, this, &BoundedDownload::replyFinished);
}

void BoundedDownload::checkDeclaredLength()
{
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > byteLimit_) {
        conclude(Outcome::exceededLimit);
    }
}

void BoundedDownload::readAvailable()
{
    if (concluded_ || !reply_) {
        return;
    }
    const QByteArray chunk = reply_->readAll();
    if (receivedBytes_ + chunk.size() > byteLimit_) {
        conclude(Outcome::exceededLimit);
        return;
    }
    if (sink_->write(chunk) != chunk.size()) {
        conclude(Outcome::failed);
        return;
    }
    receivedBytes_ += chunk.size();
}

void BoundedDownload::replyFinished()
{
    readAvailable();
    conclude(reply_ && reply_->error() == QNetworkReply::NoError ? Outcome::completed : Outcome::failed);
}

void BoundedDownload::conclude(Outcome outcome)
{
    if (concluded_) {
        return;
    }
    concluded_ = true;
    if (reply_) {
        QNetworkReply* reply = reply_;
        reply_ = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    // Always reported from the event loop, so that no caller hears of it inside its own call.
    QMetaObject::invokeMethod(
        this, [this, outcome] { emit finished(outcome); }, Qt::QueuedConnection);
}

}  // namespace veldran
