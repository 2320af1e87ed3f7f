#pragma once

#include <QByteArray>
#include <QHash>
#include <QMultiMap>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

#include <utility>
#include <vector>

class QTcpSocket;

namespace tilvane::testing {

struct ReceivedRequest {
    QByteArray requestLine;                     // "POST /path HTTP/1.1"
    QMultiMap<QByteArray, QByteArray> headers;  // names in lower case
    QByteArray body;
};

// A tiny HTTP/1.1 server on 127.0.0.1, run on the test's own event loop. It records every whole
// request, answers a path it serves with 200 and the body, and any other with `status` and no body;
// while holding, it answers only when released.
class LoopbackHttpServer : public QObject {
public:
    LoopbackHttpServer();

    QUrl url(const QString& path = QStringLiteral("/")) const;
    QUrl origin() const { return url(QString()); }

    // Serves body at path; without a declared length the body ends when the connection closes.
    void serve(const QString& path, const QByteArray& body, bool declaresLength = true);
    void setStatus(int status) { status_ = status; }
    void setHolding(bool holding) { holding_ = holding; }
    void releaseHeld();

    const std::vector<ReceivedRequest>& requests() const { return requests_; }
    QStringList requestedPaths() const;

private:
    void readFrom(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const QByteArray& requestLine);

    QTcpServer server_;
    QHash<QString, std::pair<QByteArray, bool>> served_;
    int status_ = 200;
    bool holding_ = false;
    std::vector<ReceivedRequest> requests_;
    std::vector<std::pair<QTcpSocket*, QByteArray>> held_;
};

}  // namespace tilvane::testing
