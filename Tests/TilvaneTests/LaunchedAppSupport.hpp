#pragma once

#include <QProcessEnvironment>
#include <QString>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tilvane::testing {

// The built application, as the tests that launch it as a process run it.
inline QString builtApplication()
{
    return QStringLiteral(TILVANE_TEST_APP_DIR "/bin/tilvane");
}

// `environment` with a home of the application's own in `home` (settings, caches, support folder) and its
// hand-over socket in `runtime`.
inline QProcessEnvironment applicationEnvironment(QProcessEnvironment environment, const QString& home,
                                                  const QString& runtime)
{
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    environment.insert(QStringLiteral("TILVANE_SUPPORT_DIRECTORY"), home + QStringLiteral("/support"));
    return environment;
}

// The process listening on the socket at `path`; 0 when nobody listens there.
inline pid_t listenerOf(const std::filesystem::path& path)
{
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), std::min(path.native().size(), sizeof address.sun_path - 1));
    ucred credentials{};
    socklen_t length = sizeof credentials;
    const bool answered = ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
                          && ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0;
    ::close(socket);
    return answered ? credentials.pid : 0;
}

}  // namespace tilvane::testing
