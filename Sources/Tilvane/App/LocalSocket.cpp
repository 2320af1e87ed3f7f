#include "Tilvane/App/LocalSocket.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tilvane {

namespace {

// The socket address of `path`; nothing when the path is too long for one.
std::optional<sockaddr_un> socketAddress(const std::filesystem::path& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string& bytes = path.native();
    if (bytes.empty() || bytes.size() >= sizeof address.sun_path) return std::nullopt;
    std::memcpy(address.sun_path, bytes.data(), bytes.size());
    return address;
}

}  // namespace

UniqueDescriptor::UniqueDescriptor(UniqueDescriptor&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1))
{
}

UniqueDescriptor& UniqueDescriptor::operator=(UniqueDescriptor&& other) noexcept
{
    if (this != &other) {
        if (descriptor_ >= 0) ::close(descriptor_);
        descriptor_ = std::exchange(other.descriptor_, -1);
    }
    return *this;
}

UniqueDescriptor::~UniqueDescriptor()
{
    if (descriptor_ >= 0) ::close(descriptor_);
}

std::optional<std::filesystem::path> privateFolder(const std::filesystem::path& folder, uid_t owner,
                                                   PrivateFolderOptions options)
{
    if (options.create && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0) return std::nullopt;
    if (!S_ISDIR(status.st_mode) || status.st_uid != owner || (status.st_mode & 077) != 0) return std::nullopt;
    return folder;
}

std::optional<uid_t> peerUser(int socket)
{
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) return std::nullopt;
    return credentials.uid;
}

FileLock::FileLock(const std::filesystem::path& file)
    : descriptor_(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600))
{
    if (!descriptor_) return;
    int locked = -1;
    do {
        locked = ::flock(descriptor_.get(), LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) descriptor_ = UniqueDescriptor();
}

SocketConnection connectToUser(const std::filesystem::path& path, uid_t user, std::chrono::milliseconds timeout)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        return {errno == ENOENT ? SocketReach::nobodyListens : SocketReach::unreachable, {}};
    }
    if (status.st_uid != user) return {SocketReach::foreign, {}};
    if (!S_ISSOCK(status.st_mode)) return {SocketReach::nobodyListens, {}};
    const auto address = socketAddress(path);
    if (!address) return {SocketReach::unreachable, {}};

    UniqueDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket) return {SocketReach::unreachable, {}};
    const timeval bound{.tv_sec = timeout.count() / 1000, .tv_usec = (timeout.count() % 1000) * 1000};
    ::setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, &bound, sizeof bound);
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
        const bool nobody = errno == ECONNREFUSED || errno == ENOENT;
        return {nobody ? SocketReach::nobodyListens : SocketReach::unreachable, {}};
    }
    return {SocketReach::connected, std::move(socket)};
}

bool writeAll(int socket, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::optional<char> readByte(int socket, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd waiting{.fd = socket, .events = POLLIN, .revents = 0};
        const int ready = ::poll(&waiting, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        char byte = 0;
        const ssize_t count = ::recv(socket, &byte, 1, MSG_DONTWAIT);
        if (count < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
        if (count != 1) return std::nullopt;
        return byte;
    }
}

UniqueDescriptor listenAt(const std::filesystem::path& path)
{
    const auto address = socketAddress(path);
    if (!address) return {};
    UniqueDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!socket) return {};
    ::unlink(path.c_str());
    if (::bind(socket.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) return {};
    // Nobody can connect before listen(), so the file is private before it answers.
    if (::chmod(path.c_str(), 0600) != 0 || ::listen(socket.get(), SOMAXCONN) != 0) {
        ::unlink(path.c_str());
        return {};
    }
    return socket;
}

}  // namespace tilvane
