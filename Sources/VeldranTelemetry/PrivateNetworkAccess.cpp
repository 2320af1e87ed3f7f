#include "VeldranTelemetry/PrivateNetworkAccess.hpp"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace veldran::PrivateNetworkAccess {
namespace {

// Keeps no cookie and offers none.
class RefusingCookieJar final : public QNetworkCookieJar {
public:
    using QNetworkCookieJar::QNetworkCookieJar;

    QList<QNetworkCookie> cookiesForUrl(const QUrl&) const override { return {}; }
    bool setCookiesFromUrl(const QList<QNetworkCookie>&, const QUrl&) override { return false; }
};

}  // namespace

QNetworkAccessManager* makeManager(QObject* parent)
{
    auto* manager = new QNetworkAccessManager(parent);
    manager->setCookieJar(new RefusingCookieJar(manager));
    manager->setCache(nullptr);
    manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    manager->setTransferTimeout(static_cast<int>(std::chrono::milliseconds(dataTimeout).count()));
    return manager;
}

QNetworkReply* post(QNetworkAccessManager& manager, QNetworkRequest request, const QByteArray& body,
                    std::function<void(int status, bool transferred)> completion)
{
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(static_cast<int>(std::chrono::milliseconds(dataTimeout).count()));

    QNetworkReply* reply = manager.post(request, body);
    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline->start(requestTimeout);
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, completion = std::move(completion)] {
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        const bool transferred = reply->error() == QNetworkReply::NoError;
        reply->deleteLater();
        completion(status.isValid() ? status.toInt() : 0, transferred);
    });
    return reply;
}

bool isLoopbackOrigin(const QUrl& url)
{
    if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
        return false;
    const QHostAddress address(url.host());
    return address == QHostAddress(QHostAddress::LocalHost) || address == QHostAddress(QHostAddress::LocalHostIPv6);
}

bool isAccepted(int status)
{
    return status >= 200 && status <= 299;
}

}  // namespace veldran::PrivateNetworkAccess
