#pragma once

#include "Tilvane/App/LocalSocket.hpp"

#include <QByteArray>
#include <QList>
#include <QObject>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>

#include <unistd.h>

class QSocketNotifier;
class QTimer;

namespace tilvane {

// Whom the two ends of a hand-over trust: a user, and how the user at the other end of a connection is known.
struct HandOverTrust {
    uid_t user = ::getuid();
    std::function<std::optional<uid_t>(int socket)> peerUser = tilvane::peerUser;
};

// One running Tilvane per user: a later launch hands its file (or just a wish to be seen) to the running process
// over a local socket in a folder only the user can enter, and exits once the running process has said it took
// it. Each end makes sure the other is the same user; a socket of anyone else is no running instance.
//
// A message is a 4-byte big-endian length and that many bytes of one absolute local path, the file system's own
// bytes whatever their encoding; length 0 asks the application to come forward. The running instance answers one
// byte: `Answer::taken` once it has the request in hand, `Answer::refused` for a malformed message. A launch that
// hears no answer in time (the instance is hung, stopped, quitting or gone) opens the file itself.
class InstanceHandOver : public QObject {
    Q_OBJECT

public:
    // Longest path accepted, in bytes.
    static constexpr qsizetype maxPathBytes = 4096;
    // Connections read at once; more wait until one ends.
    static constexpr int maxOpenConnections = 16;
    // How long a connection may take to deliver its message, and a launch to deliver it.
    static constexpr std::chrono::milliseconds connectionDeadline{1500};
    // How long a launch waits for the running instance's answer once its message is written.
    static constexpr std::chrono::milliseconds answerDeadline{2000};

    enum class Answer : char {
        taken = 'T',
        refused = 'R',
    };

    explicit InstanceHandOver(std::optional<std::filesystem::path> socketPath = defaultSocketPath(),
                              HandOverTrust trust = {}, QObject* parent = nullptr);
    ~InstanceHandOver() override;

    // "tilvane-<user id>.socket" in $XDG_RUNTIME_DIR, or else in the private folder "tilvane-<user id>" of the
    // temporary folder (made when missing). Nothing when neither is a folder only the user can enter.
    static std::optional<std::filesystem::path> defaultSocketPath();

    enum class Launch {
        handedOver,  // a running instance took the file: this launch ends
        listening,   // this launch is the running instance (in place of one that did not answer, if need be)
        alone,       // an instance refused the file, or no socket to listen on: this launch opens its own window
    };
    // Hands `file` (or a wish to be seen) to the running instance, or becomes it. Launches at the same moment
    // take turns, so exactly one of them listens; each waits at most `answerDeadline` for the answer.
    Launch start(const std::optional<std::filesystem::path>& file);

    bool isListening() const { return static_cast<bool>(listener_); }
    // Takes no more launches (the application has begun to quit): the socket and its file go, and the launches
    // not yet answered hear none, so they open their files themselves. Done by the destructor too.
    void stopListening();

    static QByteArray message(const std::optional<std::filesystem::path>& file);
    // What a message asks for: a path, an empty request to come forward, or nothing when malformed (length and
    // bytes disagree, too long, NUL inside, not an absolute path).
    struct Request {
        std::optional<std::filesystem::path> path;
    };
    static std::optional<Request> parse(const QByteArray& message);

signals:
    void fileReceived(const std::filesystem::path& path);
    void activationRequested();

private:
    class Connection;

    std::filesystem::path lockPath() const;
    bool listenLocked();
    void closeListener();
    void removeSocketFileLocked();
    void acceptWaiting();
    void pauseAccepting();
    void relisten();
    void finish(Connection* connection);

    std::optional<std::filesystem::path> socketPath_;
    HandOverTrust trust_;
    UniqueDescriptor listener_;
    ino_t listenerFile_ = 0;
    QSocketNotifier* listenerNotifier_ = nullptr;
    QTimer* acceptRetry_;
    QList<Connection*> connections_;
};

}  // namespace tilvane
