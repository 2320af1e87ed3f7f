#include "UpdateHarness.hpp"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTest>

#include <stdexcept>

bool ScriptedUserDriver::confirmDownload(const veldran::AppcastItem&)
{
    ++downloadQuestions;
    if (whileAskingToDownload) {
        whileAskingToDownload();
    }
    return acceptsDownload;
}

bool ScriptedUserDriver::confirmInstall(const veldran::AppcastItem&)
{
    ++installQuestions;
    return acceptsInstall;
}

QByteArray appcastDocument(const std::vector<FeedRelease>& releases)
{
    QByteArray document = R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:u="https://updates.veldran.studio/xml/appcast">
  <channel>
    <title>Tilvane</title>
)";
    for (const FeedRelease& release : releases) {
        document += QStringLiteral(R"(    <item>
      <title>Tilvane %1</title>
      <u:version>%1</u:version>
      <enclosure url="%2" length="%3" type="application/octet-stream" u:edSignature="%4"/>
    </item>
)")
                        .arg(release.version, release.archiveURL.toString())
                        .arg(release.length)
                        .arg(QString::fromLatin1(release.signatureBase64))
                        .toUtf8();
    }
    return document + "  </channel>\n</rss>\n";
}

UpdateHarness::UpdateHarness()
{
    if (!folder_.isValid() || !settings_.isValid()) {
        throw std::runtime_error("temporary folders could not be made");
    }
    writeInfo(bundleRoot(), safeInfo());
    writeFile(bundleRoot() + "/bin/tilvane", "old");
}

QJsonObject UpdateHarness::safeInfo() const
{
    return QJsonObject{
        {"CFBundleVersion", "1"},
        {"SUFeedURL", feedAddress()},
        {"SUPublicEDKey", key.publicKeyBase64()},
        {"SURequireSignedFeed", true},
        {"SUVerifyUpdateBeforeExtraction", true},
        {"SUAllowsAutomaticUpdates", false},
        {"SUAutomaticallyUpdate", false},
    };
}

void UpdateHarness::writeInfo(const QString& root, const QJsonObject& info)
{
    writeFile(root + "/Resources/Info.json", QJsonDocument(info).toJson());
}

veldran::UpdaterServices UpdateHarness::services() const
{
    return veldran::UpdaterServices{settingsFile(), driver, relauncher,
                                    veldran::TransportPolicy::httpsOrLoopbackHttpForTests()};
}

std::unique_ptr<veldran::AppUpdater> UpdateHarness::makeUpdater(const QString& bundleRoot)
{
    const veldran::UpdaterEnvironment environment{bundleRoot, feedAddress(), services()};
    return std::make_unique<veldran::AppUpdater>(QStringLiteral("tilvane"), environment);
}

void UpdateHarness::publishUpdate(const QByteArray& servedArchive, const QByteArray& signedArchive,
                                  qint64 declaredLength, bool declaresHttpLength)
{
    server.serve(QString::fromLatin1(archivePath), servedArchive, declaresHttpLength);
    const FeedRelease release{"2", server.url(QString::fromLatin1(archivePath)),
                              declaredLength < 0 ? servedArchive.size() : declaredLength,
                              key.signatureBase64(signedArchive)};
    publishFeed(key.signedFeed(appcastDocument({release})));
}

void UpdateHarness::publishFeed(const QByteArray& signedFeed)
{
    server.serve(QString::fromLatin1(feedPath), signedFeed);
}

void UpdateHarness::checkAndWait(veldran::AppUpdater& updater)
{
    ASSERT_TRUE(updater.canRequestUpdate());
    updater.checkForUpdates();
    ASSERT_FALSE(updater.canCheckForUpdates());
    ASSERT_TRUE(QTest::qWaitFor([&] { return updater.canCheckForUpdates(); }, 10'000));
}

bool UpdateHarness::archiveWasRequested() const
{
    return server.requestedPaths().contains(QString::fromLatin1(archivePath));
}

QStringList UpdateHarness::namesBesideBundle() const
{
    return QDir(folder_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                          QDir::Name);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        throw std::runtime_error("a test file could not be written");
    }
}
