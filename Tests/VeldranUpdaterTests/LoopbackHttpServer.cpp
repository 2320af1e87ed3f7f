#include "LoopbackHttpServer.hpp"

#include <QTcpSocket>

#include <stdexcept>

LoopbackHttpServer::LoopbackHttpServer()
{
    if (!server_.listen(QHostAddress::LocalHost, 0)) {
        throw std::runtime_error("the loopback server could not listen");
    }
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

void LoopbackHttpServer::serve(const QString& path, const QByteArray& body, bool declaresLength)
{
    resources_.insert(path, Resource{body, declaresLength});
}

QUrl LoopbackHttpServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
}

void LoopbackHttpServer::answer(QTcpSocket* socket)
{
    if (!socket->canReadLine() || socket->property("answered").toBool()) {
        return;
    }
    socket->setProperty("answered", true);
    const QList<QByteArray> requestLine = socket->readLine().trimmed().split(' ');
    const QString path = requestLine.size() >= 2 ? QString::fromLatin1(requestLine[1]) : QString();
    requestedPaths_.append(path);
    const auto resource = resources_.constFind(path);
    QByteArray response;
    if (resource == resources_.cend()) {
        response = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    } else {
        response = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n";
        if (resource->declaresLength) {
            response += "Content-Length: " + QByteArray::number(resource->body.size()) + "\r\n";
        }
        response += "\r\n" + resource->body;
    }
    socket->write(response);
    socket->disconnectFromHost();
}
