#include "UpdateHarness.hpp"

#include "VeldranUpdater/UpdaterDelegate.hpp"


namespace {

struct CountingDelegate final : veldran::UpdaterDelegate {
    QString feed;
    mutable int profileQuestions = 0;

    QString feedURLString(const veldran::Updater&) const override { return feed; }
    QStringList allowedSystemProfileKeys(const veldran::Updater&) const override
    {
        return ++profileQuestions, QStringList();
    }
};

TEST(Updater, AsksTheDelegateBeforeEveryCheck)
{
    UpdateHarness harness;
    harness.server.serve("/first.xml", harness.key.signedFeed(appcastDocument({})));
    harness.server.serve("/second.xml", harness.key.signedFeed(appcastDocument({})));
    CountingDelegate delegate;
    delegate.feed = harness.server.url("/first.xml").toString();
    veldran::Updater updater(harness.bundleRoot(), delegate, harness.services());
    EXPECT_FALSE(updater.canCheckForUpdates()) << "created without being started";
    updater.startUpdater();
    for (const char* next : {"/second.xml", ""}) {
        updater.checkForUpdates();
        ASSERT_TRUE(QTest::qWaitFor([&] { return updater.canCheckForUpdates(); }, 10'000));
        delegate.feed = harness.server.url(next).toString();
    }
    EXPECT_EQ(delegate.profileQuestions, 2);
    EXPECT_EQ(harness.server.requestedPaths(), QStringList({"/first.xml", "/second.xml"}));
    EXPECT_EQ(harness.driver->upToDateNotices, 2);
}

TEST(Updater, StartFailsForChoicesItDoesNotOffer)
{
    UpdateHarness harness;
    CountingDelegate delegate;
    delegate.feed = harness.feedAddress();
    const auto startFails = [&](const std::function<void(veldran::Updater&)>& choose,
                                const veldran::UpdaterServices& services) {
        veldran::Updater updater(harness.bundleRoot(), delegate, services);
        choose(updater);
        EXPECT_THROW(updater.startUpdater(), veldran::UpdateError);
        return !updater.canCheckForUpdates();
    };
    EXPECT_TRUE(startFails([](auto& u) { u.setAutomaticallyDownloadsUpdates(true); }, harness.services()));
    EXPECT_TRUE(startFails([](auto& u) { u.setSendsSystemProfile(true); }, harness.services()));
    // A plain-HTTP feed is refused under the application's own policy, whatever the delegate says.
    veldran::UpdaterServices httpsOnly = harness.services();
    httpsOnly.transportPolicy = veldran::TransportPolicy::httpsOnly();
    EXPECT_TRUE(startFails([](veldran::Updater&) {}, httpsOnly));
}

TEST(AutomaticChecksToggle, WritesThroughToTheUpdaterOnceAndFollowsIt)
{
    UpdateHarness harness;
    auto updater = harness.startUpdater(false, QDateTime::currentDateTimeUtc());
    auto* frameworkUpdater = updater->findChild<veldran::Updater*>();
    ASSERT_NE(frameworkUpdater, nullptr);
    veldran::UpdateSettingsSection section(*updater);
    auto* toggle = section.findChild<QCheckBox*>();
    QSignalSpy updaterWrites(frameworkUpdater, &veldran::Updater::automaticallyChecksForUpdatesChanged);
    QSignalSpy flagChanges(updater.get(), &veldran::AppUpdater::automaticallyChecksForUpdatesChanged);

    toggle->click();
    updater->setAutomaticallyChecksForUpdates(true);  // the value it already has changes nothing anywhere
    EXPECT_EQ(updaterWrites.count(), 1);
    EXPECT_EQ(flagChanges.count(), 1);
    EXPECT_TRUE(frameworkUpdater->automaticallyChecksForUpdates() && updater->automaticallyChecksForUpdates());
    EXPECT_TRUE(veldran::UpdaterSettings(harness.settingsFile()).automaticallyChecks());

    frameworkUpdater->setAutomaticallyChecksForUpdates(false);
    EXPECT_FALSE(updater->automaticallyChecksForUpdates() || toggle->isChecked());
    frameworkUpdater->setAutomaticallyChecksForUpdates(true);
    EXPECT_TRUE(toggle->isChecked());
}

}  // namespace
