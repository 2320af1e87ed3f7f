#pragma once

#include <QUrl>

#include <chrono>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;
class QObject;

namespace veldran {

// Network access that leaves nothing behind: no cookies kept or sent, no cache, redirects not followed.
// A request waits at most ten seconds for data and lasts at most sixty.
namespace PrivateNetworkAccess {

inline constexpr std::chrono::seconds dataTimeout{10};
inline constexpr std::chrono::seconds requestTimeout{60};

QNetworkAccessManager* makeManager(QObject* parent);

// A POST of body with the given Content-Type and any extra headers already set on the request; the callback
// runs once on the manager's thread with the HTTP status (0 when there was no HTTP response) and whether
// the transfer itself succeeded.
QNetworkReply* post(QNetworkAccessManager& manager, QNetworkRequest request, const QByteArray& body,
                    std::function<void(int status, bool transferred)> completion);

// Whether url is an http(s) origin on 127.0.0.1 or ::1, the only place tests may send to.
bool isLoopbackOrigin(const QUrl& url);

// 2xx.
bool isAccepted(int status);

}  // namespace PrivateNetworkAccess

}  // namespace veldran
