// The built application launched several times at the same moment: exactly one launch becomes the running
// instance, and every other hands its file to it and ends.

#include "LaunchedAppSupport.hpp"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include <unistd.h>

namespace tilvane::testing {
namespace {

constexpr int rounds = 20;
constexpr int launchesPerRound = 8;

std::vector<QProcess*> stillRunning(const std::vector<std::unique_ptr<QProcess>>& launches)
{
    std::vector<QProcess*> running;
    for (const auto& launch : launches) {
        if (launch->state() != QProcess::NotRunning) running.push_back(launch.get());
    }
    return running;
}

// Waits until at most one launch runs (or `limit` has passed); the ones still running.
std::vector<QProcess*> waitForAllButOne(const std::vector<std::unique_ptr<QProcess>>& launches,
                                        std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (stillRunning(launches).size() > 1 && std::chrono::steady_clock::now() < deadline) {
        for (const auto& launch : launches) launch->waitForFinished(50);
    }
    return stillRunning(launches);
}

TEST(InstanceLaunchRace, OfLaunchesAtTheSameMomentOneListensAndEveryOtherHandsOver)
{
    ASSERT_TRUE(QFile::exists(builtApplication())) << "build the application first";
    QTemporaryDir home;
    const QString picture = home.filePath(QStringLiteral("foto.png"));
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(200, 60, 40));
    ASSERT_TRUE(image.save(picture));

    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE(round);
        QTemporaryDir runtime;
        const std::filesystem::path socket =
            runtime.filePath(QStringLiteral("tilvane-%1.socket").arg(::getuid())).toStdString();
        QProcessEnvironment environment =
            applicationEnvironment(QProcessEnvironment::systemEnvironment(), home.path(), runtime.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

        std::vector<std::unique_ptr<QProcess>> launches;
        for (int index = 0; index < launchesPerRound; ++index) {
            launches.push_back(std::make_unique<QProcess>());
            launches.back()->setProcessEnvironment(environment);
            launches.back()->start(builtApplication(), {picture});
        }
        for (const auto& launch : launches) ASSERT_TRUE(launch->waitForStarted());

        const std::vector<QProcess*> running = waitForAllButOne(launches, std::chrono::seconds(60));
        ASSERT_EQ(running.size(), 1u) << "one instance runs";
        for (const auto& launch : launches) {
            if (launch.get() == running.front()) continue;
            EXPECT_EQ(launch->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(launch->exitCode(), 0) << launch->readAllStandardError().toStdString();
        }
        EXPECT_EQ(listenerOf(socket), running.front()->processId()) << "the running instance is the one listening";

        running.front()->terminate();
        ASSERT_TRUE(running.front()->waitForFinished(20000));
        EXPECT_EQ(running.front()->exitCode(), 0);
        EXPECT_FALSE(std::filesystem::exists(socket)) << "the instance takes its socket with it";
    }
}

}  // namespace
}  // namespace tilvane::testing
