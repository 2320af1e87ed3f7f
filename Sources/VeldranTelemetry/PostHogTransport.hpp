#pragma once

#include "VeldranTelemetry/AnalyticsTransport.hpp"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QUuid>

#include <functional>
#include <map>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace veldran {

// Posts each batch at once to the analytics service's batch endpoint: nothing queued, stored or retried,
// at most ten requests in flight. Outcomes are only logged at debug level (category
// "studio.veldran.telemetry.Analytics") and, with a callback, reported. Use from the main thread.
class PostHogTransport final : public QObject, public AnalyticsTransport {
    Q_OBJECT

public:
    static constexpr std::size_t largestPendingCount = 10;
    static const QUrl ingestionEndpoint;

    // endpoint (tests only) replaces the service's endpoint and must be on 127.0.0.1 or ::1.
    explicit PostHogTransport(std::function<void(bool accepted)> onCompletion = {},
                              std::optional<QUrl> endpoint = std::nullopt, QObject* parent = nullptr);
    ~PostHogTransport() override;

    void send(const QByteArray& body) override;
    void cancel() override;

    std::size_t pendingCount() const noexcept { return pending_.size(); }
    bool hasSession() const noexcept { return !session_.isNull(); }

private:
    void complete(const QUuid& identifier, bool accepted);

    std::function<void(bool)> onCompletion_;
    QUrl endpoint_;
    QPointer<QNetworkAccessManager> session_;
    std::map<QUuid, QNetworkReply*> pending_;
};

}  // namespace veldran
