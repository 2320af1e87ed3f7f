#include "Tilvane/App/InstanceHandOver.hpp"

#include <QDebug>
#include <QSocketNotifier>
#include <QTimer>
#include <QtEndian>

#include <cerrno>
#include <utility>

#include <sys/socket.h>
#include <sys/stat.h>

namespace tilvane {

namespace {

constexpr qsizetype lengthBytes = 4;
// An instance that could not accept for want of descriptors tries again after this pause.
constexpr std::chrono::milliseconds acceptRetryPause{200};

void note(const QString& text)
{
    qWarning().noquote() << QStringLiteral("Tilvane:") << text;
}

QString shown(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

// Sends `message` and waits for the running instance's answer; nothing when it closes the connection or keeps
// silent. The connection ends here, so an answer that comes after the deadline finds nobody to take it.
std::optional<InstanceHandOver::Answer> answerTo(UniqueDescriptor socket, const QByteArray& message)
{
    if (!writeAll(socket.get(), message.toStdString())) return std::nullopt;
    const auto byte = readByte(socket.get(), InstanceHandOver::answerDeadline);
    if (!byte) return std::nullopt;
    return *byte == static_cast<char>(InstanceHandOver::Answer::taken) ? InstanceHandOver::Answer::taken
                                                                       : InstanceHandOver::Answer::refused;
}

}  // namespace

// One client's connection: its bytes until a whole message has come, the connection has ended or its time is up.
class InstanceHandOver::Connection : public QObject {
public:
    Connection(UniqueDescriptor socket, InstanceHandOver* owner)
        : QObject(owner),
          socket_(std::move(socket)),
          notifier_(new QSocketNotifier(socket_.get(), QSocketNotifier::Read, this))
    {
        connect(notifier_, &QSocketNotifier::activated, this, [this, owner] { read(*owner); });
        QTimer::singleShot(connectionDeadline, this, [this, owner] { owner->finish(this); });
    }

    void close()
    {
        notifier_->setEnabled(false);
        socket_ = UniqueDescriptor();
    }

private:
    void read(InstanceHandOver& owner)
    {
        char buffer[lengthBytes + maxPathBytes];
        for (;;) {
            const qsizetype wanted = expectedBytes() - received_.size();
            const ssize_t count = ::recv(socket_.get(), buffer, static_cast<std::size_t>(wanted), 0);
            if (count < 0 && errno == EINTR) continue;
            if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
            if (count <= 0) break;  // ended before its message was whole
            received_.append(buffer, count);
            if (received_.size() == lengthBytes && expectedBytes() > lengthBytes + maxPathBytes) {
                answer(Answer::refused);
                break;
            }
            if (received_.size() == expectedBytes()) {
                deliver(owner);
                break;
            }
        }
        owner.finish(this);
    }

    qsizetype expectedBytes() const
    {
        if (received_.size() < lengthBytes) return lengthBytes;
        return lengthBytes + qFromBigEndian<quint32>(received_.constData());
    }

    void deliver(InstanceHandOver& owner) const
    {
        const auto request = parse(received_);
        if (!request) {
            answer(Answer::refused);
            return;
        }
        // A launch that is no longer there to hear the answer has given up and opened the file itself.
        if (!answer(Answer::taken)) return;
        if (request->path) {
            emit owner.fileReceived(*request->path);
        } else {
            emit owner.activationRequested();
        }
    }

    bool answer(Answer answer) const
    {
        const char byte = static_cast<char>(answer);
        return writeAll(socket_.get(), std::string_view(&byte, 1));
    }

    UniqueDescriptor socket_;
    QSocketNotifier* notifier_;
    QByteArray received_;
};

InstanceHandOver::InstanceHandOver(std::optional<std::filesystem::path> socketPath, HandOverTrust trust,
                                   QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath)), trust_(std::move(trust)), acceptRetry_(new QTimer(this))
{
    acceptRetry_->setSingleShot(true);
    acceptRetry_->setInterval(acceptRetryPause);
    connect(acceptRetry_, &QTimer::timeout, this, [this] {
        if (listenerNotifier_) listenerNotifier_->setEnabled(true);
    });
}

InstanceHandOver::~InstanceHandOver()
{
    stopListening();
}

std::optional<std::filesystem::path> InstanceHandOver::defaultSocketPath()
{
    const uid_t user = ::getuid();
    const std::string name = "tilvane-" + std::to_string(user);
    const std::filesystem::path runtime = qgetenv("XDG_RUNTIME_DIR").toStdString();
    auto folder = runtime.is_absolute() ? privateFolder(runtime, user) : std::nullopt;
    std::error_code noTemporaryFolder;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path(noTemporaryFolder);
    if (!folder && !noTemporaryFolder) folder = privateFolder(temporary / name, user, {.create = true});
    if (!folder) return std::nullopt;
    return *folder / (name + ".socket");
}

std::filesystem::path InstanceHandOver::lockPath() const
{
    return socketPath_->native() + ".lock";
}

InstanceHandOver::Launch InstanceHandOver::start(const std::optional<std::filesystem::path>& file)
{
    const QString ownWindow = QStringLiteral("esta execução abre sua própria janela.");
    if (!socketPath_) {
        note(QStringLiteral("sem uma pasta só sua para o soquete de instância; nada foi entregue, e ") + ownWindow);
        return Launch::alone;
    }
    const FileLock lock(lockPath());
    if (!lock) {
        note(QStringLiteral("não foi possível travar %1; nada foi entregue, e ").arg(shown(lockPath())) + ownWindow);
        return Launch::alone;
    }
    SocketConnection running = connectToUser(*socketPath_, trust_.user, connectionDeadline);
    if (running.reach == SocketReach::connected && trust_.peerUser(running.socket.get()) != trust_.user) {
        running.reach = SocketReach::foreign;
    }
    switch (running.reach) {
    case SocketReach::connected:
        if (const auto answer = answerTo(std::move(running.socket), message(file))) {
            if (*answer == Answer::taken) return Launch::handedOver;
            note(QStringLiteral("a instância em execução recusou o pedido, e ") + ownWindow);
            return Launch::alone;
        }
        note(
            QStringLiteral("a instância em execução não respondeu (está encerrando, parada ou ocupada); esta "
                           "execução abre sua própria janela e recebe os arquivos das próximas."));
        break;
    case SocketReach::unreachable:
        note(QStringLiteral("a instância em execução não respondeu; nada foi entregue a ela, e ") + ownWindow);
        return Launch::alone;
    case SocketReach::foreign:
        note(QStringLiteral("o soquete %1 é de outro usuário; nada foi entregue a ele, e ").arg(shown(*socketPath_))
             + ownWindow);
        break;
    case SocketReach::nobodyListens:
        break;
    }
    if (listenLocked()) return Launch::listening;
    note(QStringLiteral("não foi possível escutar em %1; esta janela não recebe arquivos de outras execuções.")
             .arg(shown(*socketPath_)));
    return Launch::alone;
}

bool InstanceHandOver::listenLocked()
{
    listener_ = listenAt(*socketPath_);
    if (!listener_) return false;
    struct stat status {};
    listenerFile_ = ::lstat(socketPath_->c_str(), &status) == 0 ? status.st_ino : 0;
    listenerNotifier_ = new QSocketNotifier(listener_.get(), QSocketNotifier::Read, this);
    connect(listenerNotifier_, &QSocketNotifier::activated, this, &InstanceHandOver::acceptWaiting);
    return true;
}

void InstanceHandOver::stopListening()
{
    acceptRetry_->stop();
    // The launches waiting on these hear them close and open their files themselves.
    for (Connection* connection : std::exchange(connections_, {})) {
        connection->close();
        connection->deleteLater();
    }
    if (!listener_) return;
    closeListener();  // and with it the connections not yet accepted
    // Only now the lock: a launch that holds it may be waiting for this instance's answer until it hears the close.
    const FileLock lock(lockPath());
    removeSocketFileLocked();
}

void InstanceHandOver::closeListener()
{
    if (listenerNotifier_) {
        // It may be the notifier whose signal is running.
        listenerNotifier_->setEnabled(false);
        listenerNotifier_->deleteLater();
        listenerNotifier_ = nullptr;
    }
    listener_ = UniqueDescriptor();
}

void InstanceHandOver::removeSocketFileLocked()
{
    // The file goes only while it is still this listener's: a later instance may have replaced it.
    struct stat status {};
    if (::lstat(socketPath_->c_str(), &status) == 0 && status.st_ino == listenerFile_) ::unlink(socketPath_->c_str());
}

void InstanceHandOver::relisten()
{
    const FileLock lock(lockPath());
    closeListener();
    removeSocketFileLocked();
    if (!listenLocked()) {
        note(QStringLiteral("o soquete %1 parou, e não foi possível escutar de novo.").arg(shown(*socketPath_)));
    }
}

void InstanceHandOver::acceptWaiting()
{
    while (connections_.size() < maxOpenConnections) {
        UniqueDescriptor socket(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (!socket) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return;
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                pauseAccepting();
            } else {
                relisten();
            }
            return;
        }
        if (trust_.peerUser(socket.get()) != trust_.user) continue;  // another user's connection ends at once
        connections_.append(new Connection(std::move(socket), this));
    }
    // Full: the connections waiting are taken as the open ones end.
    listenerNotifier_->setEnabled(false);
}

void InstanceHandOver::pauseAccepting()
{
    listenerNotifier_->setEnabled(false);
    acceptRetry_->start();
}

void InstanceHandOver::finish(Connection* connection)
{
    if (!connections_.removeOne(connection)) return;
    connection->close();
    connection->deleteLater();
    if (listenerNotifier_ && !acceptRetry_->isActive()) listenerNotifier_->setEnabled(true);
}

QByteArray InstanceHandOver::message(const std::optional<std::filesystem::path>& file)
{
    const std::string bytes = file ? file->native() : std::string();
    QByteArray message(lengthBytes, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(bytes.size()), message.data());
    message.append(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return message;
}

std::optional<InstanceHandOver::Request> InstanceHandOver::parse(const QByteArray& message)
{
    if (message.size() < lengthBytes) return std::nullopt;
    const qsizetype length = qFromBigEndian<quint32>(message.constData());
    if (length > maxPathBytes || message.size() != lengthBytes + length) return std::nullopt;
    if (length == 0) return Request{};
    const std::string bytes(message.constData() + lengthBytes, static_cast<std::size_t>(length));
    if (bytes.front() != '/' || bytes.find('\0') != std::string::npos) return std::nullopt;
    return Request{std::filesystem::path(bytes)};
}

}  // namespace tilvane
