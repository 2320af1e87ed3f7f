#pragma once

#include <QHash>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <utility>

// A tiny HTTP/1.1 server on 127.0.0.1 that answers GET requests with fixed bodies and records every path it was
// asked for. It runs on the test's own event loop.
class LoopbackHttpServer : public QObject {
public:
    LoopbackHttpServer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    // Serves body at path; without a declared length the body ends when the connection closes.
    void serve(const QString& path, const QByteArray& body, bool declaresLength = true) { resources_[path] = {body, declaresLength}; }
    QUrl url(const QString& path) const { return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path)); }
    const QStringList& requestedPaths() const { return requestedPaths_; }

private:
    void answer(QTcpSocket* socket)
    {
        if (!socket->canReadLine() || socket->property("answered").toBool()) return;
        socket->setProperty("answered", true);
        const QList<QByteArray> requestLine = socket->readLine().trimmed().split(' ');
        requestedPaths_.append(QString::fromLatin1(requestLine.value(1)));
        const auto [body, declaresLength] = resources_.value(requestedPaths_.last(), {QByteArray(), true});
        const bool found = resources_.contains(requestedPaths_.last());
        socket->write((found ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") + QByteArray("Connection: close\r\n")
                      + (declaresLength ? "Content-Length: " + QByteArray::number(body.size()) + "\r\n" : "") + "\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    QHash<QString, std::pair<QByteArray, bool>> resources_;
    QStringList requestedPaths_;
};
