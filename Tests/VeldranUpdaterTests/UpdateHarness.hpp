#pragma once

#include "LoopbackHttpServer.hpp"
#include "SigningKey.hpp"
#include "TestArchive.hpp"

#include "VeldranUpdater/AppUpdater.hpp"
#include "VeldranUpdater/Relauncher.hpp"
#include "VeldranUpdater/UpdateUserDriver.hpp"

#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* stream)
{
    *stream << '"' << text.toStdString() << '"';
}

// Answers the updater's questions as the test scripts them and records what it was told.
class ScriptedUserDriver final : public veldran::UpdateUserDriver {
public:
    bool acceptsDownload = false;
    bool acceptsInstall = false;
    std::function<void()> whileAskingToDownload;

    int downloadQuestions = 0;
    int installQuestions = 0;
    int upToDateNotices = 0;
    QStringList failures;

    bool confirmDownload(const veldran::AppcastItem& item) override;
    bool confirmInstall(const veldran::AppcastItem& item) override;
    void showUpToDate() override { ++upToDateNotices; }
    void showFailure(const QString& message) override { failures.append(message); }
};

class RecordingRelauncher final : public veldran::Relauncher {
public:
    QStringList relaunchedBundles;
    void relaunch(const QString& bundleRoot) override { relaunchedBundles.append(bundleRoot); }
};

// One release as it appears in a test feed.
struct FeedRelease {
    QString version;
    QUrl archiveURL;
    qint64 length = 0;
    QByteArray signatureBase64;
};

QByteArray appcastDocument(const std::vector<FeedRelease>& releases);

// A temporary folder holding the bundle "X.app" (build number 1, safe update keys for a per-test
// key pair and a loopback feed), the settings file, the loopback server and the fakes.
class UpdateHarness {
public:
    static constexpr char feedPath[] = "/tilvane/updates/appcast.xml";
    static constexpr char archivePath[] = "/downloads/X-2.tar.gz";

    UpdateHarness();

    QString folderPath() const { return folder_.path(); }
    QString bundleRoot() const { return folder_.filePath(QStringLiteral("X.app")); }
    QString settingsFile() const { return settings_.filePath(QStringLiteral("updater.ini")); }
    QString feedAddress() const { return server.url(QString::fromLatin1(feedPath)).toString(); }

    QJsonObject safeInfo() const;
    // Writes Info.json into <root>/Resources, creating the folders.
    static void writeInfo(const QString& root, const QJsonObject& info);

    // The fakes, the test settings file and the loopback transport policy.
    veldran::UpdaterServices services() const;
    std::unique_ptr<veldran::AppUpdater> makeUpdater(const QString& bundleRoot);
    std::unique_ptr<veldran::AppUpdater> makeUpdater() { return makeUpdater(bundleRoot()); }

    // Publishes a signed feed offering archive as build "2", with its signature and the given
    // declared length (the archive's own length when negative).
    void publishUpdate(const QByteArray& servedArchive, const QByteArray& signedArchive, qint64 declaredLength = -1,
                       bool declaresHttpLength = true);
    void publishFeed(const QByteArray& signedFeed);

    // Runs a user check and waits until the updater can check again.
    void checkAndWait(veldran::AppUpdater& updater);

    bool archiveWasRequested() const;
    // The names in the folder that holds the bundle (staging folders included, if any were left).
    QStringList namesBesideBundle() const;

    SigningKey key;
    LoopbackHttpServer server;
    std::shared_ptr<ScriptedUserDriver> driver = std::make_shared<ScriptedUserDriver>();
    std::shared_ptr<RecordingRelauncher> relauncher = std::make_shared<RecordingRelauncher>();

private:
    QTemporaryDir folder_;
    QTemporaryDir settings_;
};

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& content);
