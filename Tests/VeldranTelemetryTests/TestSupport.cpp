#include "TestSupport.hpp"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <sys/stat.h>

namespace veldran::testing {

std::string_view rawValue(SampleEvent event)
{
    return event == SampleEvent::imageOpened ? "image_opened" : "export_failed";
}

TelemetryConfiguration betaConfiguration()
{
    return {.app = "tilvane",
            .bundleIdentifier = "studio.veldran.tilvane",
            .projectToken = "phc_secret",
            .sentryDSN = "https://publickey@o42.ingest.sentry.io/4505",
            .environment = "beta",
            .version = "1.2.3",
            .build = "45",
            .analyticsIPStorageDisabled = true,
            .sentryIPStorageDisabled = true,
            .sentryGeolocationDisabled = true};
}

nlohmann::json sampleCrashDocument()
{
    return {
        {"format", "veldran-crash"},
        {"version", 1},
        {"time", 1765000000},
        {"release", "studio.veldran.tilvane@1.2.3+45"},
        {"signal", 11},
        {"name", "SIGSEGV"},
        {"address", "0x0"},
        {"thread", "tilvane"},
        {"frames", {"0x401000", "0x7f0000001234", "0x401200"}},
        {"maps",
         "00400000-00401000 r--p 00000000 08:01 1234 /opt/Tilvane.app/bin/tilvane\n"
         "00401000-00402000 r-xp 00001000 08:01 1234 /opt/Tilvane.app/bin/tilvane\n"
         "7f0000000000-7f0000010000 r-xp 00000000 08:01 99 /usr/lib/libc.so.6\n"
         "7f0000100000-7f0000200000 r--p 00000000 08:01 77 /home/ana/Pictures/ana-passport.png\n"
         "7ffd00000000-7ffd00021000 rw-p 00000000 00:00 0                          [stack]\n"},
    };
}

int runCrashingChild(const QString& folder, const QString& kind)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       QStringLiteral("handle_segv=0:handle_sigbus=0:handle_abort=0:handle_sigill=0:handle_sigfpe=0"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--crash-child"), folder, kind});
    const bool crashed = child.waitForFinished(20000) && child.exitStatus() == QProcess::CrashExit;
    return crashed ? child.exitCode() : -1;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > limit.count()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

void processEventsFor(std::chrono::milliseconds duration)
{
    waitUntil([] { return false; }, duration);
}

TemporarySettings::TemporarySettings()
    : settings_(std::make_unique<QSettings>(folder_.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat))
{
}

unsigned permissionsOf(const QString& path)
{
    struct stat status {};
    if (lstat(QFile::encodeName(path).constData(), &status) != 0) return 0;
    return status.st_mode & 07777;
}

}  // namespace veldran::testing
