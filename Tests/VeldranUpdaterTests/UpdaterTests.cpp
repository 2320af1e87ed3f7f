#include "UpdateHarness.hpp"

#include "VeldranUpdater/UpdateError.hpp"
#include "VeldranUpdater/Updater.hpp"
#include "VeldranUpdater/UpdaterDelegate.hpp"

#include <gtest/gtest.h>

#include <QTest>

namespace {

class CountingDelegate final : public veldran::UpdaterDelegate {
public:
    QString feed;
    mutable int feedQuestions = 0;
    mutable int profileQuestions = 0;

    QString feedURLString(const veldran::Updater&) const override
    {
        ++feedQuestions;
        return feed;
    }
    QStringList allowedSystemProfileKeys(const veldran::Updater&) const override
    {
        ++profileQuestions;
        return {};
    }
};

void checkAndWait(veldran::Updater& updater)
{
    updater.checkForUpdates();
    ASSERT_FALSE(updater.canCheckForUpdates());
    ASSERT_TRUE(QTest::qWaitFor([&] { return updater.canCheckForUpdates(); }, 10'000));
}

TEST(Updater, AsksTheDelegateBeforeEveryCheck)
{
    UpdateHarness harness;
    const QByteArray emptyFeed = harness.key.signedFeed(appcastDocument({}));
    harness.server.serve("/first.xml", emptyFeed);
    harness.server.serve("/second.xml", emptyFeed);
    CountingDelegate delegate;
    delegate.feed = harness.server.url("/first.xml").toString();
    veldran::Updater updater(harness.bundleRoot(), delegate, harness.services());
    EXPECT_FALSE(updater.canCheckForUpdates()) << "created without being started";
    updater.startUpdater();
    const int questionsAtStart = delegate.feedQuestions;

    checkAndWait(updater);
    delegate.feed = harness.server.url("/second.xml").toString();
    checkAndWait(updater);

    EXPECT_EQ(delegate.feedQuestions, questionsAtStart + 2);
    EXPECT_EQ(delegate.profileQuestions, 2);
    EXPECT_EQ(harness.server.requestedPaths(), QStringList({"/first.xml", "/second.xml"}));
    EXPECT_EQ(harness.driver->upToDateNotices, 2);
}

TEST(Updater, StartFailsForChoicesItDoesNotOffer)
{
    UpdateHarness harness;
    CountingDelegate delegate;
    delegate.feed = harness.feedAddress();

    veldran::Updater downloading(harness.bundleRoot(), delegate, harness.services());
    downloading.setAutomaticallyDownloadsUpdates(true);
    EXPECT_THROW(downloading.startUpdater(), veldran::UpdateError);
    EXPECT_FALSE(downloading.canCheckForUpdates());

    veldran::Updater profiling(harness.bundleRoot(), delegate, harness.services());
    profiling.setSendsSystemProfile(true);
    EXPECT_THROW(profiling.startUpdater(), veldran::UpdateError);

    delegate.feed = "ftp://127.0.0.1/appcast.xml";
    veldran::Updater insecure(harness.bundleRoot(), delegate, harness.services());
    EXPECT_THROW(insecure.startUpdater(), veldran::UpdateError);

    // A plain-HTTP feed is refused under the application's own policy, whatever the delegate says.
    delegate.feed = harness.feedAddress();
    veldran::UpdaterServices httpsOnly = harness.services();
    httpsOnly.transportPolicy = veldran::TransportPolicy::httpsOnly();
    veldran::Updater secureOnly(harness.bundleRoot(), delegate, httpsOnly);
    EXPECT_THROW(secureOnly.startUpdater(), veldran::UpdateError);
}

}  // namespace
