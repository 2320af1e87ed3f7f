#include "UpdateHarness.hpp"

#include "VeldranUpdater/CheckForUpdatesButton.hpp"
#include "VeldranUpdater/Updater.hpp"
#include "VeldranUpdater/UpdaterSettings.hpp"
#include "VeldranUpdater/UpdateSettingsSection.hpp"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QSignalSpy>

namespace {

const QString unavailableNote = QStringLiteral("Atualizações automáticas não estão disponíveis nesta versão.");
const QString availableNote = QStringLiteral("Cada atualização só é baixada e instalada com a sua confirmação.");

struct SectionView {
    QString commandText;
    QString toggleText;
    bool commandEnabled;
    bool toggleEnabled;
    bool toggleOn;
    QString note;
};

SectionView viewOf(veldran::AppUpdater& updater)
{
    veldran::CheckForUpdatesButton command(updater);
    veldran::UpdateSettingsSection section(updater);
    auto* toggle = section.findChild<QCheckBox*>();
    QString note;
    for (QLabel* label : section.findChildren<QLabel*>()) {
        if (label->text() != "Atualizações") {
            note = label->text();
        }
    }
    return {command.text(), toggle->text(), command.isEnabled(), toggle->isEnabled(), toggle->isChecked(), note};
}

void expectInert(veldran::AppUpdater& updater)
{
    EXPECT_FALSE(updater.isAvailable());
    EXPECT_FALSE(updater.canCheckForUpdates());
    EXPECT_FALSE(updater.canRequestUpdate());
    EXPECT_EQ(updater.findChild<veldran::Updater*>(), nullptr);
    const SectionView view = viewOf(updater);
    EXPECT_FALSE(view.commandEnabled);
    EXPECT_FALSE(view.toggleEnabled);
    EXPECT_FALSE(view.toggleOn);
    EXPECT_EQ(view.note, unavailableNote);
}

TEST(AppUpdaterStart, RunsInsideAnAppBundleWithSafeKeys)
{
    UpdateHarness harness;
    auto updater = harness.makeUpdater();
    EXPECT_FALSE(updater->isAvailable());
    EXPECT_EQ(updater->findChild<veldran::Updater*>(), nullptr) << "nothing is created before start()";

    QSignalSpy availability(updater.get(), &veldran::AppUpdater::isAvailableChanged);
    updater->start();
    EXPECT_TRUE(updater->isAvailable());
    EXPECT_TRUE(updater->canCheckForUpdates());
    EXPECT_TRUE(updater->canRequestUpdate());
    EXPECT_EQ(availability.count(), 1);
    const SectionView view = viewOf(*updater);
    EXPECT_TRUE(view.commandEnabled);
    EXPECT_EQ(view.commandText, "Buscar atualizações…");
    EXPECT_EQ(view.toggleText, "Verificar atualizações automaticamente");
    EXPECT_TRUE(view.toggleEnabled);
    EXPECT_EQ(view.note, availableNote);
    EXPECT_TRUE(harness.server.requestedPaths().isEmpty()) << "starting checks nothing while checks are off";
}

TEST(AppUpdaterStart, StaysInertInAPlainFolderWithTheSameKeys)
{
    UpdateHarness harness;
    const QString plain = harness.folderPath() + "/Plain";
    UpdateHarness::writeInfo(plain, harness.safeInfo());
    auto updater = harness.makeUpdater(plain);
    updater->start();
    expectInert(*updater);
}

TEST(AppUpdaterStart, StaysInertWhenTheSuffixIsOnlySimilar)
{
    UpdateHarness harness;
    for (const char* name : {"X.APP", "X.app.old", "Xapp"}) {
        const QString root = harness.folderPath() + "/" + name;
        UpdateHarness::writeInfo(root, harness.safeInfo());
        auto updater = harness.makeUpdater(root);
        updater->start();
        EXPECT_FALSE(updater->isAvailable()) << name;
    }
}

TEST(AppUpdaterStart, StaysInertWithAnUnsafeKey)
{
    UpdateHarness harness;
    QJsonObject info = harness.safeInfo();
    info.insert("SUAutomaticallyUpdate", true);
    UpdateHarness::writeInfo(harness.bundleRoot(), info);
    auto updater = harness.makeUpdater();
    updater->start();
    expectInert(*updater);
}

TEST(AppUpdaterStart, StaysInertWithoutInfoFile)
{
    UpdateHarness harness;
    ASSERT_TRUE(QFile::remove(harness.bundleRoot() + "/Resources/Info.json"));
    auto updater = harness.makeUpdater();
    updater->start();
    expectInert(*updater);
}

TEST(AppUpdaterStart, RunFromTheBuildTreeIsInert)
{
    // The test program itself runs from the build tree, not from a bundle.
    QTemporaryDir settings;
    veldran::UpdaterEnvironment environment;
    environment.services.settingsFile = settings.filePath("updater.ini");
    veldran::AppUpdater updater("tilvane", environment);
    updater.start();
    expectInert(updater);
}

TEST(AppUpdaterStart, BundleBuiltForDevelopmentIsInert)
{
    if (TILVANE_BUILT_BUNDLE_UPDATES) {
        GTEST_SKIP() << "this build names the release feed";
    }
    QTemporaryDir settings;
    veldran::UpdaterEnvironment environment;
    environment.bundleRoot = QStringLiteral(TILVANE_BUILT_BUNDLE);
    environment.services.settingsFile = settings.filePath("updater.ini");
    veldran::AppUpdater updater("tilvane", environment);
    updater.start();
    expectInert(updater);
}

TEST(AppUpdaterStart, SecondStartDoesNothing)
{
    UpdateHarness harness;
    QJsonObject info = harness.safeInfo();
    info.insert("SURequireSignedFeed", "true");
    UpdateHarness::writeInfo(harness.bundleRoot(), info);
    auto updater = harness.makeUpdater();
    updater->start();
    EXPECT_FALSE(updater->isAvailable());

    UpdateHarness::writeInfo(harness.bundleRoot(), harness.safeInfo());
    updater->start();
    EXPECT_FALSE(updater->isAvailable()) << "the first outcome holds for the whole run";

    auto running = harness.makeUpdater();
    running->start();
    ASSERT_TRUE(running->isAvailable());
    auto* frameworkUpdater = running->findChild<veldran::Updater*>();
    running->start();
    EXPECT_EQ(running->findChild<veldran::Updater*>(), frameworkUpdater);
    EXPECT_EQ(running->findChildren<veldran::Updater*>().size(), 1);
    EXPECT_TRUE(running->isAvailable());
}

// A start that fails after the updater has reported automatic checks "on" must not leave the
// disabled toggle showing "on" next to the "not available" note.
TEST(AppUpdaterStart, FailedStartSwitchesTheAutomaticChecksFlagOff)
{
    UpdateHarness harness;
    veldran::UpdaterSettings(harness.settingsFile()).setAutomaticallyChecks(true);
    QJsonObject info = harness.safeInfo();
    info.remove("CFBundleVersion");
    UpdateHarness::writeInfo(harness.bundleRoot(), info);

    auto updater = harness.makeUpdater();
    QSignalSpy automaticChecks(updater.get(), &veldran::AppUpdater::automaticallyChecksForUpdatesChanged);
    updater->start();

    ASSERT_EQ(automaticChecks.count(), 2) << "the observation showed the stored value before the start failed";
    EXPECT_TRUE(automaticChecks.at(0).at(0).toBool());
    EXPECT_FALSE(automaticChecks.at(1).at(0).toBool());
    expectInert(*updater);
    EXPECT_FALSE(updater->automaticallyChecksForUpdates());
    EXPECT_TRUE(veldran::UpdaterSettings(harness.settingsFile()).automaticallyChecks())
        << "the user's stored choice is kept for a build that can start";
}

TEST(AppUpdaterStart, SuccessfulStartShowsTheStoredAutomaticChecks)
{
    UpdateHarness harness;
    veldran::UpdaterSettings settings(harness.settingsFile());
    settings.setAutomaticallyChecks(true);
    settings.setLastCheck(QDateTime::currentDateTimeUtc());
    auto updater = harness.makeUpdater();
    updater->start();
    EXPECT_TRUE(updater->automaticallyChecksForUpdates());
    EXPECT_TRUE(viewOf(*updater).toggleOn);
}

}  // namespace
