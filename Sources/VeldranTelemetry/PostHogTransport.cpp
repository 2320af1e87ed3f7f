#include "VeldranTelemetry/PostHogTransport.hpp"

#include "VeldranTelemetry/PrivateNetworkAccess.hpp"

#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <stdexcept>
#include <vector>

namespace veldran {
namespace {

Q_LOGGING_CATEGORY(analyticsLog, "studio.veldran.telemetry.Analytics")

}  // namespace

const QUrl PostHogTransport::ingestionEndpoint(QStringLiteral("https://us.i.posthog.com/batch/"));

PostHogTransport::PostHogTransport(std::function<void(bool accepted)> onCompletion, std::optional<QUrl> endpoint,
                                   QObject* parent)
    : QObject(parent), onCompletion_(std::move(onCompletion)), endpoint_(endpoint.value_or(ingestionEndpoint))
{
    if (endpoint && !PrivateNetworkAccess::isLoopbackOrigin(*endpoint))
        throw std::invalid_argument("analytics may only be redirected to a loopback address");
}

PostHogTransport::~PostHogTransport() = default;

void PostHogTransport::send(const QByteArray& body)
{
    if (pending_.size() >= largestPendingCount) return;
    if (!session_) {
        session_ = PrivateNetworkAccess::makeManager(this);
        if (endpoint_ != ingestionEndpoint) session_->setProxy(QNetworkProxy::NoProxy);
    }
    QNetworkRequest request(endpoint_);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    const QUuid identifier = QUuid::createUuid();
    QNetworkReply* reply = PrivateNetworkAccess::post(
        *session_, request, body, [transport = QPointer(this), identifier](int status, bool transferred) {
            const bool accepted = transferred && PrivateNetworkAccess::isAccepted(status);
            if (accepted)
                qCDebug(analyticsLog, "Event accepted by ingestion endpoint");
            else
                qCDebug(analyticsLog, "Event delivery did not complete");
            if (transport) transport->complete(identifier, accepted);
        });
    pending_.emplace(identifier, reply);
}

void PostHogTransport::complete(const QUuid& identifier, bool accepted)
{
    pending_.erase(identifier);
    if (onCompletion_) onCompletion_(accepted);
}

void PostHogTransport::cancel()
{
    // An abort finishes its reply at once, and its callback may send again: walk a copy of the list, and
    // let go of the session first so that such a send starts a fresh one.
    std::vector<QNetworkReply*> inFlight;
    for (const auto& [identifier, reply] : pending_) inFlight.push_back(reply);
    pending_.clear();
    QNetworkAccessManager* cancelledSession = session_.data();
    session_ = nullptr;
    for (QNetworkReply* reply : inFlight) reply->abort();
    if (cancelledSession) cancelledSession->deleteLater();
}

}  // namespace veldran
