#include "LocalHttpServer.hpp"

#include <QTcpSocket>

namespace veldran::testing {
LocalHttpServer::LocalHttpServer()
{
    server_.listen(QHostAddress::LocalHost);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        }
    });
}

QUrl LocalHttpServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
}

void LocalHttpServer::releaseHeld()
{
    holding_ = false;
    for (QTcpSocket* socket : std::exchange(held_, {}))
        respond(socket);
}

// Keeps the bytes read so far on the socket until a whole request (headers and Content-Length body) is there.
void LocalHttpServer::readFrom(QTcpSocket* socket)
{
    QByteArray buffer = socket->property("received").toByteArray() + socket->readAll();
    socket->setProperty("received", buffer);
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    ReceivedRequest request;
    request.requestLine = lines.front().trimmed();
    qsizetype contentLength = 0;
    for (qsizetype index = 1; index < lines.size(); ++index) {
        const qsizetype colon = lines[index].indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray name = lines[index].left(colon).trimmed().toLower();
        const QByteArray value = lines[index].mid(colon + 1).trimmed();
        request.headers.insert(name, value);
        if (name == "content-length")
            contentLength = value.toLongLong();
    }
    if (buffer.size() - headerEnd - 4 < contentLength)
        return;
    request.body = buffer.mid(headerEnd + 4, contentLength);
    socket->setProperty("received", QByteArray());
    requests_.push_back(std::move(request));
    if (holding_)
        held_.push_back(socket);
    else
        respond(socket);
}

void LocalHttpServer::respond(QTcpSocket* socket)
{
    socket->write("HTTP/1.1 " + QByteArray::number(status_) + " Status\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    socket->disconnectFromHost();
}

}  // namespace veldran::testing
