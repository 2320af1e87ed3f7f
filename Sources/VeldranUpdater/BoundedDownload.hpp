#pragma once

#include "VeldranUpdater/TransportPolicy.hpp"

#include <QObject>
#include <QPointer>
#include <QUrl>

class QIODevice;
class QNetworkAccessManager;
class QNetworkReply;

namespace veldran {

// One GET whose body is written to a device and which stops as soon as the body would grow past
// a byte limit. Every address, redirects included, must pass the transport policy.
class BoundedDownload : public QObject {
    Q_OBJECT

public:
    enum class Outcome { completed, exceededLimit, failed, refusedAddress };

    BoundedDownload(QNetworkAccessManager& network, TransportPolicy policy, QObject* parent = nullptr);
    ~BoundedDownload() override;

    // Starts a transfer, after the previous one has finished; finished() follows exactly once,
    // never from inside this call.
    void start(const QUrl& url, qint64 byteLimit, QIODevice& sink);

    qint64 receivedBytes() const noexcept { return receivedBytes_; }

signals:
    void finished(veldran::BoundedDownload::Outcome outcome);

private:
    void checkDeclaredLength();
    void readAvailable();
    void replyFinished();
    void conclude(Outcome outcome);

    QNetworkAccessManager& network_;
    TransportPolicy policy_;
    QPointer<QNetworkReply> reply_;
    QIODevice* sink_ = nullptr;
    qint64 byteLimit_ = 0;
    qint64 receivedBytes_ = 0;
    bool concluded_ = false;
};

}  // namespace veldran
