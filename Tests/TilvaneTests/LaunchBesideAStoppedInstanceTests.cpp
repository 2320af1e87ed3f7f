// The built application beside a running instance that cannot answer (stopped with SIGSTOP): a launch with a
// file does not end as though it had handed the file over; it opens the picture in a window of its own and takes
// the instance's place for later launches.

#include "LaunchedAppSupport.hpp"
#include "XvfbSupport.hpp"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include <signal.h>
#include <unistd.h>

namespace tilvane::testing {
namespace {

using namespace std::chrono_literals;

// Ends the launch however the test ends: a stopped process takes no SIGTERM until it goes on.
struct EndsWithTheTest {
    ~EndsWithTheTest()
    {
        if (process.state() == QProcess::NotRunning) return;
        ::kill(static_cast<pid_t>(process.processId()), SIGCONT);
        process.kill();
        process.waitForFinished(10000);
    }
    QProcess process;
};

TEST(LaunchBesideAStoppedInstance, OpensItsPictureItselfAndTakesTheInstancesPlace)
{
    ASSERT_TRUE(QFile::exists(builtApplication())) << "build the application first";
    QTemporaryDir home;
    QTemporaryDir runtime;
    const auto picture = [&home](const QString& name, const QColor& colour) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(home.filePath(name)));
        return home.filePath(name);
    };
    const QString first = picture(QStringLiteral("first.png"), QColor(200, 60, 40));
    const QString other = picture(QStringLiteral("other.png"), QColor(40, 200, 60));
    const QString third = picture(QStringLiteral("third.png"), QColor(40, 60, 200));
    const std::filesystem::path socket =
        runtime.filePath(QStringLiteral("tilvane-%1.socket").arg(::getuid())).toStdString();
    QProcessEnvironment environment =
        applicationEnvironment(QProcessEnvironment::systemEnvironment(), home.path(), runtime.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const auto launch = [&environment](QProcess& process, const QString& file) {
        process.setProcessEnvironment(environment);
        process.start(builtApplication(), {file});
        EXPECT_TRUE(process.waitForStarted());
    };
    // The picture the last window to open one shows, as its session names it.
    const auto sessionNames = [&home](const QString& file) {
        return [&home, name = QFileInfo(file).fileName().toUtf8()] {
            QFile session(home.filePath(QStringLiteral("support/last-session.json")));
            return session.open(QIODevice::ReadOnly) && session.readAll().contains(name);
        };
    };

    EndsWithTheTest running;
    launch(running.process, first);
    const auto runningId = static_cast<pid_t>(running.process.processId());
    ASSERT_TRUE(pollUntil([&] { return listenerOf(socket) == runningId; }, 20s));
    ASSERT_EQ(::kill(runningId, SIGSTOP), 0);

    EndsWithTheTest second;
    launch(second.process, other);
    const auto secondId = static_cast<pid_t>(second.process.processId());
    ASSERT_TRUE(pollUntil([&] { return listenerOf(socket) == secondId; }, 20s))
        << "the second launch listens in place of the stopped instance";
    EXPECT_FALSE(second.process.waitForFinished(0)) << "it did not end as though the file were handed over";
    EXPECT_TRUE(pollUntil(sessionNames(other), 20s)) << "its own window opened the picture";

    QProcess later;
    launch(later, third);
    ASSERT_TRUE(later.waitForFinished(20000));
    EXPECT_EQ(later.exitCode(), 0) << "a later launch hands its file to the second";
    EXPECT_TRUE(pollUntil(sessionNames(third), 20s)) << "and the second's window shows it";

    // Going on, the first finds its message's launch gone, and quitting leaves the second's socket alone.
    ASSERT_EQ(::kill(runningId, SIGCONT), 0);
    running.process.terminate();
    ASSERT_TRUE(running.process.waitForFinished(20000));
    EXPECT_EQ(running.process.exitCode(), 0);
    EXPECT_EQ(listenerOf(socket), secondId);

    second.process.terminate();
    ASSERT_TRUE(second.process.waitForFinished(20000));
    EXPECT_EQ(second.process.exitCode(), 0);
    EXPECT_FALSE(std::filesystem::exists(socket));
}

}  // namespace
}  // namespace tilvane::testing
