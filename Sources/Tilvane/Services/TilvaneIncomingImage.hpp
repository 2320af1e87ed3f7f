#pragma once

#include <QObject>
#include <QUrl>

#include <filesystem>
#include <optional>

namespace tilvane {

// The one slot through which a received file reaches an editor window: the last file received and
// not yet taken. A new file overwrites an untaken one. Main thread only.
class TilvaneIncomingImage : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The process's slot.
    static TilvaneIncomingImage& shared();

    // Stores a local file and announces it (didReceive, synchronously); anything else is ignored.
    void receive(const QUrl& url);
    // Stores the file at `path` (its bytes as they are) and announces it.
    void receive(const std::filesystem::path& path);

    const std::optional<std::filesystem::path>& pendingURL() const { return pendingURL_; }

    // Empties the slot and returns what it held.
    std::optional<std::filesystem::path> take();

signals:
    void didReceive();

private:
    std::optional<std::filesystem::path> pendingURL_;
};

// Set once the application has begun to end: asked to quit, or its last window closed. Only a window opened
// before the process has gone takes it back, and only after the last window closed.
class TilvaneLifecycle {
public:
    static TilvaneLifecycle& shared();

    bool isTerminating() const { return isTerminating_; }
    void setTerminating() { isTerminating_ = true; }
    void resume() { isTerminating_ = false; }

private:
    bool isTerminating_ = false;
};

}  // namespace tilvane
