#pragma once

#include <QByteArray>
#include <QList>
#include <QMultiMap>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

#include <vector>

class QTcpSocket;

namespace veldran::testing {

struct ReceivedRequest {
    QByteArray requestLine;  // "POST /path HTTP/1.1"
    QMultiMap<QByteArray, QByteArray> headers;  // names in lower case
    QByteArray body;
};

// A tiny HTTP/1.1 server on 127.0.0.1 that records every request and answers each with one status,
// right away or, while holding, only when released.
class LocalHttpServer : public QObject {
    Q_OBJECT

public:
    LocalHttpServer();

    QUrl url(const QString& path = QStringLiteral("/")) const;
    QUrl origin() const { return url(QString()); }
    void setStatus(int status) { status_ = status; }
    void setHolding(bool holding) { holding_ = holding; }
    void releaseHeld();

    const std::vector<ReceivedRequest>& requests() const { return requests_; }

private:
    void readFrom(QTcpSocket* socket);
    void respond(QTcpSocket* socket);

    QTcpServer server_;
    int status_ = 200;
    bool holding_ = false;
    std::vector<ReceivedRequest> requests_;
    std::vector<QTcpSocket*> held_;
};

}  // namespace veldran::testing
