#pragma once

#include "SigningKey.hpp"
#include "TestArchive.hpp"

#include "TestSupport/LoopbackHttpServer.hpp"

#include "VeldranUpdater/AppUpdater.hpp"
#include "VeldranUpdater/CheckForUpdatesButton.hpp"
#include "VeldranUpdater/Relauncher.hpp"
#include "VeldranUpdater/UpdateError.hpp"
#include "VeldranUpdater/UpdateSettingsSection.hpp"
#include "VeldranUpdater/UpdateUserDriver.hpp"
#include "VeldranUpdater/Updater.hpp"
#include "VeldranUpdater/UpdaterSettings.hpp"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

inline void PrintTo(const QString& text, std::ostream* stream)
{
    *stream << '"' << text.toStdString() << '"';
}

// Prints and names each row of a data-driven test after its `name`.
namespace {
template <typename Case>
requires requires(const Case& row)
{
    row.name;
}
void PrintTo(const Case& row, std::ostream* stream)
{
    *stream << row.name;
}
}  // namespace

inline const auto caseName = [](const auto& info) { return std::string(info.param.name); };

// The error case action throws, if any.
inline std::optional<veldran::UpdateErrorCase> refusalOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const veldran::UpdateError& error) {
        return error.errorCase();
    }
    return std::nullopt;
}

// The six update keys with safe values.
inline QJsonObject safeKeys(const QString& feed, const QString& publicKey)
{
    return {{"SUFeedURL", feed},
            {"SUPublicEDKey", publicKey},
            {"SURequireSignedFeed", true},
            {"SUVerifyUpdateBeforeExtraction", true},
            {"SUAllowsAutomaticUpdates", false},
            {"SUAutomaticallyUpdate", false}};
}

// info with key set to value (removed when undefined), or unchanged without a key.
inline QJsonObject changed(QJsonObject info, const char* key, const QJsonValue& value)
{
    if (key) value.isUndefined() ? info.remove(key) : void(info.insert(key, value));
    return info;
}

// bytes with the one at index changed (to another Base64 digit).
inline QByteArray changedAt(QByteArray bytes, qsizetype index)
{
    bytes[index] = bytes[index] == 'A' ? 'B' : 'A';
    return bytes;
}

inline QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size()) << path.toStdString();
}

// Answers the updater's questions as the test scripts them and records what it was told.
struct ScriptedUserDriver final : veldran::UpdateUserDriver {
    bool acceptsDownload = false, acceptsInstall = false;
    int downloadQuestions = 0, installQuestions = 0, upToDateNotices = 0;
    QStringList failures;

    bool confirmDownload(const veldran::AppcastItem&) override { return ++downloadQuestions, acceptsDownload; }
    bool confirmInstall(const veldran::AppcastItem&) override { return ++installQuestions, acceptsInstall; }
    void showUpToDate() override { ++upToDateNotices; }
    void showFailure(const QString& message) override { failures.append(message); }
};

struct RecordingRelauncher final : veldran::Relauncher {
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

inline QByteArray appcastDocument(const std::vector<FeedRelease>& releases)
{
    QString document =
        R"(<?xml version="1.0" encoding="utf-8"?>)"
        R"(<rss version="2.0" xmlns:u="https://updates.veldran.studio/xml/appcast"><channel><title>Tilvane</title>)";
    for (const FeedRelease& release : releases) {
        document += QStringLiteral(R"(<item><title>Tilvane %1</title><u:version>%1</u:version><enclosure url="%2" )"
                                   R"(length="%3" type="application/octet-stream" u:edSignature="%4"/></item>)")
                        .arg(release.version, release.archiveURL.toString(), QString::number(release.length),
                             QString::fromLatin1(release.signatureBase64));
    }
    return (document + "</channel></rss>\n").toUtf8();
}

// A temporary folder holding the bundle "X.app" (build number 1, safe update keys for a per-test key pair and a
// loopback feed), the settings file, the loopback server and the fakes.
class UpdateHarness {
public:
    static constexpr char feedPath[] = "/tilvane/updates/appcast.xml";
    static constexpr char archivePath[] = "/downloads/X-2.tar.gz";

    UpdateHarness()
    {
        server.setStatus(404);  // for every path nothing is published at
        writeInfo(bundleRoot()), writeFile(bundleRoot() + "/bin/tilvane", "old");
    }

    QString folderPath() const { return folder_.path(); }
    QString bundleRoot() const { return folder_.filePath("X.app"); }
    QString settingsFile() const { return settings_.filePath("updater.ini"); }
    QString feedAddress() const { return server.url(feedPath).toString(); }
    bool archiveWasRequested() const { return server.requestedPaths().contains(archivePath); }

    // Writes <root>/Resources/Info.json: build number 1 and the safe keys, with one change if given.
    void writeInfo(const QString& root, const char* changedKey = nullptr, const QJsonValue& value = {}) const
    {
        QJsonObject info = safeKeys(feedAddress(), key.publicKeyBase64());
        info.insert("CFBundleVersion", "1");
        writeFile(root + "/Resources/Info.json", QJsonDocument(changed(info, changedKey, value)).toJson());
    }

    // The fakes, the test settings file and the loopback transport policy.
    veldran::UpdaterServices services() const
    {
        return {settingsFile(), driver, relauncher, veldran::TransportPolicy::httpsOrLoopbackHttpForTests()};
    }
    // The application's updater for the bundle at root (the running executable's when absent), not started.
    std::unique_ptr<veldran::AppUpdater> makeUpdater(const std::optional<QString>& root)
    {
        return std::make_unique<veldran::AppUpdater>("tilvane",
                                                     veldran::UpdaterEnvironment{root, feedAddress(), services()});
    }
    // The bundle's updater, started with the given stored choice of automatic checks and last check time.
    std::unique_ptr<veldran::AppUpdater> startUpdater(bool automaticChecks = false, const QDateTime& lastCheck = {})
    {
        veldran::UpdaterSettings settings(settingsFile());
        settings.setAutomaticallyChecks(automaticChecks);
        if (lastCheck.isValid()) settings.setLastCheck(lastCheck);
        auto updater = makeUpdater(bundleRoot());
        updater->start();
        return updater;
    }

    // Publishes a signed feed offering servedArchive as build "2", with signedArchive's signature and the given
    // declared length (the served archive's own length when negative).
    void publishUpdate(const QByteArray& served, const QByteArray& signedArchive, qint64 declaredLength = -1,
                       bool declaresHttpLength = true)
    {
        server.serve(archivePath, served, declaresHttpLength);
        publishFeed(key.signedFeed(
            appcastDocument({{"2", server.url(archivePath), declaredLength < 0 ? served.size() : declaredLength,
                              key.signatureBase64(signedArchive)}})));
    }
    void publishUpdate(const QByteArray& archive) { publishUpdate(archive, archive); }
    void publishFeed(const QByteArray& signedFeed) { server.serve(feedPath, signedFeed); }

    SigningKey key;
    tilvane::testing::LoopbackHttpServer server;
    std::shared_ptr<ScriptedUserDriver> driver = std::make_shared<ScriptedUserDriver>();
    std::shared_ptr<RecordingRelauncher> relauncher = std::make_shared<RecordingRelauncher>();

private:
    QTemporaryDir folder_, settings_;
};
