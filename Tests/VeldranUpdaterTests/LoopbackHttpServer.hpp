#pragma once

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

// A tiny HTTP/1.1 server on 127.0.0.1 that answers GET requests with fixed bodies and records
// every path it was asked for. It runs on the test's own event loop.
class LoopbackHttpServer : public QObject {
    Q_OBJECT

public:
    LoopbackHttpServer();

    // Serves body at path; without a declared length the body ends when the connection closes.
    void serve(const QString& path, const QByteArray& body, bool declaresLength = true);

    QUrl url(const QString& path) const;
    const QStringList& requestedPaths() const { return requestedPaths_; }

private:
    struct Resource {
        QByteArray body;
        bool declaresLength = true;
    };

    void answer(QTcpSocket* socket);

    QTcpServer server_;
    QHash<QString, Resource> resources_;
    QStringList requestedPaths_;
};
