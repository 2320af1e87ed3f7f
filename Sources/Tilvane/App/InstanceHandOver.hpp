#pragma once

#include <QObject>
#include <QString>

#include <optional>

class QLocalServer;

namespace tilvane {

// One running Tilvane per user: a later launch hands its file (or just a wish to be seen) to the running
// process over a local socket in $XDG_RUNTIME_DIR that only the user can reach, and exits.
//
// A message is the UTF-8 text of one absolute local path, or empty to bring the application forward.
class InstanceHandOver : public QObject {
    Q_OBJECT

public:
    // Longest message accepted, in bytes.
    static constexpr qsizetype maxMessageBytes = 4096;

    explicit InstanceHandOver(QString socketPath = defaultSocketPath(), QObject* parent = nullptr);
    ~InstanceHandOver() override;

    // "$XDG_RUNTIME_DIR/tilvane-<user id>.socket" (the temporary folder when the runtime folder is unknown).
    static QString defaultSocketPath();

    // Gives the path (or nothing) to a running instance; false when none answers.
    bool sendToRunning(const std::optional<QString>& path) const;

    // Becomes the running instance; a socket left behind by a process that is gone is removed first. False when
    // another instance answers on the socket, or it cannot be made.
    bool listen();

    // What a message asks for: a path, an empty request to come forward, or nothing when malformed
    // (too long, not UTF-8, not an absolute local path).
    struct Request {
        std::optional<QString> path;
    };
    static std::optional<Request> parse(const QByteArray& message);

signals:
    void fileReceived(const QString& path);
    void activationRequested();

private:
    void accept();

    QString socketPath_;
    QLocalServer* server_;
};

}  // namespace tilvane
