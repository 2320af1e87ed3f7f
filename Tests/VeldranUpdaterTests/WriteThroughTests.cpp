#include "UpdateHarness.hpp"

#include "VeldranUpdater/Updater.hpp"
#include "VeldranUpdater/UpdaterSettings.hpp"
#include "VeldranUpdater/UpdateSettingsSection.hpp"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QSignalSpy>

namespace {

TEST(AutomaticChecksToggle, WritesThroughToTheUpdaterOnce)
{
    UpdateHarness harness;
    veldran::UpdaterSettings(harness.settingsFile()).setLastCheck(QDateTime::currentDateTimeUtc());
    auto updater = harness.makeUpdater();
    updater->start();
    auto* frameworkUpdater = updater->findChild<veldran::Updater*>();
    ASSERT_NE(frameworkUpdater, nullptr);
    veldran::UpdateSettingsSection section(*updater);
    auto* toggle = section.findChild<QCheckBox*>();
    QSignalSpy updaterWrites(frameworkUpdater, &veldran::Updater::automaticallyChecksForUpdatesChanged);
    QSignalSpy flagChanges(updater.get(), &veldran::AppUpdater::automaticallyChecksForUpdatesChanged);

    toggle->click();

    EXPECT_EQ(updaterWrites.count(), 1);
    EXPECT_EQ(flagChanges.count(), 1);
    EXPECT_TRUE(frameworkUpdater->automaticallyChecksForUpdates());
    EXPECT_TRUE(updater->automaticallyChecksForUpdates());
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_TRUE(veldran::UpdaterSettings(harness.settingsFile()).automaticallyChecks());

    // Writing the value it already has changes nothing anywhere.
    updater->setAutomaticallyChecksForUpdates(true);
    EXPECT_EQ(updaterWrites.count(), 1);
    EXPECT_EQ(flagChanges.count(), 1);
}

TEST(AutomaticChecksToggle, FollowsAChangeMadeByTheUpdater)
{
    UpdateHarness harness;
    auto updater = harness.makeUpdater();
    updater->start();
    veldran::UpdateSettingsSection section(*updater);
    auto* toggle = section.findChild<QCheckBox*>();
    auto* frameworkUpdater = updater->findChild<veldran::Updater*>();
    ASSERT_NE(frameworkUpdater, nullptr);

    frameworkUpdater->setAutomaticallyChecksForUpdates(true);
    EXPECT_TRUE(updater->automaticallyChecksForUpdates());
    EXPECT_TRUE(toggle->isChecked());
    frameworkUpdater->setAutomaticallyChecksForUpdates(false);
    EXPECT_FALSE(toggle->isChecked());
}

TEST(AutomaticChecksToggle, IsOnlyStoredWhileInert)
{
    UpdateHarness harness;
    auto updater = harness.makeUpdater(harness.folderPath());
    updater->start();
    updater->setAutomaticallyChecksForUpdates(true);
    EXPECT_TRUE(updater->automaticallyChecksForUpdates());
    EXPECT_FALSE(veldran::UpdaterSettings(harness.settingsFile()).automaticallyChecks());
}

}  // namespace
