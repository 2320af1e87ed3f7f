#include "Tilvane/App/InstanceHandOver.hpp"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStringDecoder>

#include <unistd.h>

namespace tilvane {

namespace {

constexpr int connectTimeoutMilliseconds = 1000;

}  // namespace

InstanceHandOver::InstanceHandOver(QString socketPath, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath)), server_(new QLocalServer(this))
{
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->setMaxPendingConnections(8);
    connect(server_, &QLocalServer::newConnection, this, &InstanceHandOver::accept);
}

InstanceHandOver::~InstanceHandOver() = default;

QString InstanceHandOver::defaultSocketPath()
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder)) folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("tilvane-%1.socket").arg(getuid()));
}

bool InstanceHandOver::sendToRunning(const std::optional<QString>& path) const
{
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(connectTimeoutMilliseconds)) return false;
    socket.write(path ? path->toUtf8() : QByteArray());
    socket.flush();
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(connectTimeoutMilliseconds);
    return true;
}

bool InstanceHandOver::listen()
{
    // Listening replaces whatever file is at the path, so first make sure nobody answers there: a socket file
    // nobody listens on is a leftover of a process that is gone.
    QLocalSocket probe;
    probe.connectToServer(socketPath_);
    if (probe.waitForConnected(connectTimeoutMilliseconds)) return false;
    QLocalServer::removeServer(socketPath_);
    return server_->listen(socketPath_);
}

std::optional<InstanceHandOver::Request> InstanceHandOver::parse(const QByteArray& message)
{
    if (message.size() > maxMessageBytes) return std::nullopt;
    if (message.isEmpty()) return Request{};
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString path = decoder(message);
    if (decoder.hasError() || path.contains(QChar(0))) return std::nullopt;
    if (!path.startsWith(QLatin1Char('/'))) return std::nullopt;
    return Request{QDir::cleanPath(path)};
}

void InstanceHandOver::accept()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        auto message = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, socket, [socket, message] {
            if (!socket->isOpen()) return;
            message->append(socket->read(maxMessageBytes + 1 - message->size()));
            if (message->size() > maxMessageBytes) socket->abort();
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, message] {
            if (socket->isOpen()) message->append(socket->read(maxMessageBytes + 1 - message->size()));
            socket->deleteLater();
            const auto request = parse(*message);
            if (!request) return;
            if (request->path) {
                emit fileReceived(*request->path);
            } else {
                emit activationRequested();
            }
        });
    }
}

}  // namespace tilvane
