#pragma once

#include <QProcessEnvironment>
#include <QString>

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

}  // namespace tilvane::testing
