#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string_view>

namespace tilvane {

// A file descriptor closed when it goes.
class UniqueDescriptor {
public:
    UniqueDescriptor() = default;
    explicit UniqueDescriptor(int descriptor) : descriptor_(descriptor) {}
    UniqueDescriptor(UniqueDescriptor&& other) noexcept;
    UniqueDescriptor& operator=(UniqueDescriptor&& other) noexcept;
    ~UniqueDescriptor();

    int get() const { return descriptor_; }
    explicit operator bool() const { return descriptor_ >= 0; }

private:
    int descriptor_ = -1;
};

// Whether privateFolder makes a missing folder, named at the call site: `privateFolder(folder, owner, {.create =
// true})`.
struct PrivateFolderOptions {
    bool create = false;  // a missing folder is made (mode 0700) first
};

// `folder` when it is a folder (not a link) that belongs to `owner` and that nobody else may enter. Nothing otherwise.
std::optional<std::filesystem::path> privateFolder(const std::filesystem::path& folder, uid_t owner,
                                                   PrivateFolderOptions options = {});

// The user on the other end of a connected local socket, as the kernel recorded it.
std::optional<uid_t> peerUser(int socket);

// An exclusive lock (flock) on a file made for it, held until the object goes; it waits for another holder.
class FileLock {
public:
    explicit FileLock(const std::filesystem::path& file);
    explicit operator bool() const { return static_cast<bool>(descriptor_); }

private:
    UniqueDescriptor descriptor_;
};

// What became of an attempt to reach a listening socket.
enum class SocketReach {
    connected,
    nobodyListens,  // no socket file, or nobody listens on it
    foreign,        // the file belongs to another user
    unreachable,    // a listener that does not take the connection in time, or a path that cannot be a socket
};

struct SocketConnection {
    SocketReach reach = SocketReach::nobodyListens;
    UniqueDescriptor socket;  // when connected
};

// Connects to the stream socket at `path` when the file belongs to `user` (who listens on it is the caller's to
// check). Waiting for a busy listener and every later write on the socket are bounded by `timeout`.
SocketConnection connectToUser(const std::filesystem::path& path, uid_t user, std::chrono::milliseconds timeout);

// Writes all of `bytes`; false when the socket takes them not (in its time bound).
bool writeAll(int socket, std::string_view bytes);

// The next byte the other end sends within `timeout`; nothing when it closes or the time is up first.
std::optional<char> readByte(int socket, std::chrono::milliseconds timeout);

// A non-blocking listening socket at `path` that only the user can reach; whatever file was at the path is replaced.
UniqueDescriptor listenAt(const std::filesystem::path& path);

}  // namespace tilvane
