#include "LoopbackHttpServer.hpp"

#include <QTcpSocket>

namespace tilvane::testing {
namespace {

QString pathOf(const QByteArray& requestLine)
{
    return QString::fromLatin1(requestLine.split(' ').value(1));
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer()
{
    server_.listen(QHostAddress::LocalHost);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        }
    });
}

QUrl LoopbackHttpServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
}

void LoopbackHttpServer::serve(const QString& path, const QByteArray& body, bool declaresLength)
{
    served_[path] = {body, declaresLength};
}

void LoopbackHttpServer::releaseHeld()
{
    holding_ = false;
    for (const auto& [socket, requestLine] : std::exchange(held_, {})) {
        respond(socket, requestLine);
    }
}

QStringList LoopbackHttpServer::requestedPaths() const
{
    QStringList paths;
    for (const ReceivedRequest& request : requests_) {
        paths.append(pathOf(request.requestLine));
    }
    return paths;
}

// Keeps the bytes read so far on the socket until a whole request (headers and Content-Length body) is there.
void LoopbackHttpServer::readFrom(QTcpSocket* socket)
{
    QByteArray buffer = socket->property("received").toByteArray() + socket->readAll();
    socket->setProperty("received", buffer);
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        return;
    }
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    ReceivedRequest request;
    request.requestLine = lines.front().trimmed();
    qsizetype contentLength = 0;
    for (qsizetype index = 1; index < lines.size(); ++index) {
        const qsizetype colon = lines[index].indexOf(':');
        if (colon < 0) {
            continue;
        }
        const QByteArray name = lines[index].left(colon).trimmed().toLower();
        const QByteArray value = lines[index].mid(colon + 1).trimmed();
        request.headers.insert(name, value);
        if (name == "content-length") {
            contentLength = value.toLongLong();
        }
    }
    if (buffer.size() - headerEnd - 4 < contentLength) {
        return;
    }
    request.body = buffer.mid(headerEnd + 4, contentLength);
    socket->setProperty("received", QByteArray());
    requests_.push_back(std::move(request));
    if (holding_) {
        held_.emplace_back(socket, requests_.back().requestLine);
    } else {
        respond(socket, requests_.back().requestLine);
    }
}

void LoopbackHttpServer::respond(QTcpSocket* socket, const QByteArray& requestLine)
{
    const auto found = served_.constFind(pathOf(requestLine));
    QByteArray response;
    if (found == served_.constEnd()) {
        response =
            "HTTP/1.1 " + QByteArray::number(status_) + " Status\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    } else {
        const auto& [body, declaresLength] = found.value();
        response = "HTTP/1.1 200 OK\r\nConnection: close\r\n";
        if (declaresLength) {
            response += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
        }
        response += "\r\n" + body;
    }
    socket->write(response);
    socket->disconnectFromHost();
}

}  // namespace tilvane::testing
