#include "UpdateHarness.hpp"

#include "VeldranUpdater/CheckForUpdatesButton.hpp"
#include "VeldranUpdater/UpdaterSettings.hpp"

#include <gtest/gtest.h>

#include <QTest>

#include <functional>

namespace {

const QByteArray newExecutable = "new build";

QByteArray newBundle()
{
    return TestArchive::bundle("X.app", "2", newExecutable).bytes();
}

void expectUntouched(const UpdateHarness& harness)
{
    EXPECT_EQ(harness.namesBesideBundle(), QStringList({"X.app"})) << "no staging folder is left";
    EXPECT_EQ(readFile(harness.bundleRoot() + "/bin/tilvane"), "old");
    EXPECT_TRUE(harness.relauncher->relaunchedBundles.isEmpty());
}

TEST(UpdateFlow, InstallsAcceptedUpdateAndRelaunches)
{
    UpdateHarness harness;
    harness.publishUpdate(newBundle(), newBundle());
    harness.driver->acceptsDownload = true;
    harness.driver->acceptsInstall = true;
    auto updater = harness.makeUpdater();
    updater->start();

    harness.checkAndWait(*updater);

    EXPECT_TRUE(harness.driver->failures.isEmpty()) << harness.driver->failures.join("\n").toStdString();
    EXPECT_EQ(harness.driver->installQuestions, 1);
    EXPECT_EQ(readFile(harness.bundleRoot() + "/bin/tilvane"), newExecutable);
    EXPECT_EQ(harness.relauncher->relaunchedBundles, QStringList({harness.bundleRoot()}));
    EXPECT_EQ(harness.namesBesideBundle(), QStringList({"X.app"})) << "staging and the old bundle are gone";
}

TEST(UpdateFlow, DeclinedOfferNeverRequestsTheArchive)
{
    UpdateHarness harness;
    harness.publishUpdate(newBundle(), newBundle());
    auto updater = harness.makeUpdater();
    updater->start();

    harness.checkAndWait(*updater);

    EXPECT_EQ(harness.driver->downloadQuestions, 1);
    EXPECT_EQ(harness.server.requestedPaths(), QStringList({UpdateHarness::feedPath}));
    expectUntouched(harness);
}

TEST(UpdateFlow, DeclinedInstallKeepsTheBundleAndRemovesTheStaging)
{
    UpdateHarness harness;
    harness.publishUpdate(newBundle(), newBundle());
    harness.driver->acceptsDownload = true;
    auto updater = harness.makeUpdater();
    updater->start();

    harness.checkAndWait(*updater);

    EXPECT_TRUE(harness.archiveWasRequested());
    EXPECT_EQ(harness.driver->installQuestions, 1);
    EXPECT_TRUE(harness.driver->failures.isEmpty());
    expectUntouched(harness);
}

TEST(UpdateFlow, CommandIsDisabledWhileACheckRuns)
{
    UpdateHarness harness;
    harness.publishUpdate(newBundle(), newBundle());
    auto updater = harness.makeUpdater();
    updater->start();
    veldran::CheckForUpdatesButton command(*updater);
    ASSERT_TRUE(command.isEnabled());
    std::optional<bool> enabledWhileAsking;
    harness.driver->whileAskingToDownload = [&] { enabledWhileAsking = command.isEnabled(); };

    command.trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return command.isEnabled(); }, 10'000));
    EXPECT_EQ(enabledWhileAsking, false);
}

struct RefusalCase {
    const char* name;
    // Publishes the feed and archive of the case.
    std::function<void(UpdateHarness&)> publish;
    QString message;
    bool archiveRequested;
};

void PrintTo(const RefusalCase& testCase, std::ostream* stream)
{
    *stream << testCase.name;
}


class UpdateRefusalTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(UpdateRefusalTest, TellsTheUserAndLeavesNothingOnDisk)
{
    UpdateHarness harness;
    GetParam().publish(harness);
    harness.driver->acceptsDownload = true;
    harness.driver->acceptsInstall = true;
    auto updater = harness.makeUpdater();
    updater->start();

    harness.checkAndWait(*updater);

    EXPECT_EQ(harness.driver->failures, QStringList({GetParam().message}));
    EXPECT_EQ(harness.archiveWasRequested(), GetParam().archiveRequested);
    EXPECT_EQ(harness.driver->installQuestions, 0);
    expectUntouched(harness);
    EXPECT_FALSE(QFileInfo::exists(harness.folderPath() + "/escape")) << "nothing outside the staging folder";
}

QByteArray feedDocumentFor(UpdateHarness& harness, const QByteArray& archive)
{
    harness.server.serve(UpdateHarness::archivePath, archive);
    return appcastDocument({{"2", harness.server.url(UpdateHarness::archivePath), archive.size(),
                             harness.key.signatureBase64(archive)}});
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, UpdateRefusalTest,
    testing::Values(
        RefusalCase{"UnsignedFeed",
                    [](UpdateHarness& h) { h.publishFeed(feedDocumentFor(h, newBundle())); },
                    "A lista de atualizações não está assinada.", false},
        RefusalCase{"TamperedFeed",
                    [](UpdateHarness& h) {
                        QByteArray feed = h.key.signedFeed(feedDocumentFor(h, newBundle()));
                        feed.replace("<title>Tilvane</title>", "<title>Tilvanf</title>");
                        h.publishFeed(feed);
                    },
                    "A assinatura da lista de atualizações é inválida.", false},
        RefusalCase{"BytesAfterTheFeedSignature",
                    [](UpdateHarness& h) {
                        h.publishFeed(h.key.signedFeed(feedDocumentFor(h, newBundle())) + "<!-- more -->");
                    },
                    "A lista de atualizações não está assinada.", false},
        RefusalCase{"SignedFeedWithDoctype",
                    [](UpdateHarness& h) {
                        QByteArray document = feedDocumentFor(h, newBundle());
                        document.insert(document.indexOf("<rss"), "<!DOCTYPE rss>\n");
                        h.publishFeed(h.key.signedFeed(document));
                    },
                    "A lista de atualizações está malformada.", false},
        RefusalCase{"FeedLargerThanOneMebibyte",
                    [](UpdateHarness& h) {
                        QByteArray document = feedDocumentFor(h, newBundle());
                        document.append(QByteArray(1024 * 1024, ' '));
                        h.publishFeed(h.key.signedFeed(document));
                    },
                    "A lista de atualizações é grande demais.", false},
        RefusalCase{"MissingFeed", [](UpdateHarness&) {}, "Não foi possível obter a lista de atualizações.",
                    false},
        RefusalCase{"ArchiveOverPlainHttpToAnotherHost",
                    [](UpdateHarness& h) {
                        const QByteArray archive = newBundle();
                        h.publishFeed(h.key.signedFeed(appcastDocument(
                            {{"2", QUrl("http://localhost:1/X-2.tar.gz"), archive.size(),
                              h.key.signatureBase64(archive)}})));
                    },
                    "O endereço de atualizações não é seguro.", false},
        RefusalCase{"TamperedArchive",
                    [](UpdateHarness& h) {
                        const QByteArray archive = newBundle();
                        QByteArray tampered = archive;
                        tampered[tampered.size() / 2] = char(tampered[tampered.size() / 2] ^ 0x20);
                        h.publishUpdate(tampered, archive);
                    },
                    "A assinatura da atualização baixada é inválida.", true},
        RefusalCase{"ArchiveLongerThanDeclared",
                    [](UpdateHarness& h) {
                        const QByteArray archive = newBundle();
                        h.publishUpdate(archive + QByteArray(4096, 'x'), archive, archive.size());
                    },
                    "O tamanho da atualização baixada não confere com o anunciado.", true},
        RefusalCase{"ArchiveLongerThanDeclaredWithoutContentLength",
                    [](UpdateHarness& h) {
                        const QByteArray archive = newBundle();
                        h.publishUpdate(archive + QByteArray(4096, 'x'), archive, archive.size(), false);
                    },
                    "O tamanho da atualização baixada não confere com o anunciado.", true},
        RefusalCase{"ArchiveShorterThanDeclared",
                    [](UpdateHarness& h) {
                        const QByteArray archive = newBundle();
                        h.publishUpdate(archive, archive, archive.size() + 1);
                    },
                    "O tamanho da atualização baixada não confere com o anunciado.", true},
        RefusalCase{"TraversalEntry",
                    [](UpdateHarness& h) {
                        const QByteArray archive
                            = TestArchive::bundle("X.app", "2", newExecutable).file("../../escape", "x").bytes();
                        h.publishUpdate(archive, archive);
                    },
                    "A atualização contém um caminho inseguro e foi recusada.", true},
        RefusalCase{"SymlinkOutOfTheStaging",
                    [](UpdateHarness& h) {
                        const QByteArray archive = TestArchive::bundle("X.app", "2", newExecutable)
                                                       .symlink("X.app/out", "../../..")
                                                       .file("X.app/out/escape", "x")
                                                       .bytes();
                        h.publishUpdate(archive, archive);
                    },
                    "A atualização contém um caminho inseguro e foi recusada.", true},
        // Inside the staging folder, but beside the bundle once the bundle is moved into place.
        RefusalCase{"SymlinkOutOfTheStagedBundle",
                    [](UpdateHarness& h) {
                        const QByteArray archive = TestArchive::bundle("X.app", "2", newExecutable)
                                                       .file("Y/data", "y")
                                                       .symlink("X.app/data", "../Y/data")
                                                       .bytes();
                        h.publishUpdate(archive, archive);
                    },
                    "A atualização contém um caminho inseguro e foi recusada.", true},
        RefusalCase{"ArchiveHoldingAnOlderBuild",
                    [](UpdateHarness& h) {
                        const QByteArray archive = TestArchive::bundle("X.app", "1", newExecutable).bytes();
                        h.publishUpdate(archive, archive);
                    },
                    "A atualização não contém uma versão mais nova do aplicativo.", true},
        RefusalCase{"ArchiveHoldingAnotherBundle",
                    [](UpdateHarness& h) {
                        const QByteArray archive = TestArchive::bundle("Y.app", "2", newExecutable).bytes();
                        h.publishUpdate(archive, archive);
                    },
                    "A atualização não contém uma versão mais nova do aplicativo.", true}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

TEST(UpdateFlow, OlderOrSameVersionIsNotOffered)
{
    UpdateHarness harness;
    const QByteArray archive = newBundle();
    harness.server.serve(UpdateHarness::archivePath, archive);
    const QUrl url = harness.server.url(UpdateHarness::archivePath);
    const QByteArray signature = harness.key.signatureBase64(archive);
    harness.publishFeed(harness.key.signedFeed(
        appcastDocument({{"0.9", url, archive.size(), signature}, {"1", url, archive.size(), signature}})));
    auto updater = harness.makeUpdater();
    updater->start();

    harness.checkAndWait(*updater);

    EXPECT_EQ(harness.driver->upToDateNotices, 1);
    EXPECT_EQ(harness.driver->downloadQuestions, 0);
    EXPECT_TRUE(harness.driver->failures.isEmpty());
    EXPECT_FALSE(harness.archiveWasRequested());
}

TEST(AutomaticChecks, RunAtStartOnceADayHasPassed)
{
    UpdateHarness harness;
    harness.publishUpdate(newBundle(), newBundle());
    veldran::UpdaterSettings settings(harness.settingsFile());
    settings.setAutomaticallyChecks(true);
    const QDateTime twoDaysAgo = QDateTime::currentDateTimeUtc().addDays(-2);
    settings.setLastCheck(twoDaysAgo);
    auto updater = harness.makeUpdater();
    updater->start();

    ASSERT_TRUE(QTest::qWaitFor([&] { return harness.driver->downloadQuestions == 1; }, 10'000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return updater->canCheckForUpdates(); }, 10'000));
    EXPECT_GT(*veldran::UpdaterSettings(harness.settingsFile()).lastCheck(), twoDaysAgo);
}

TEST(AutomaticChecks, WaitForTheDayAfterTheLastCheck)
{
    UpdateHarness harness;
    harness.publishUpdate(newBundle(), newBundle());
    veldran::UpdaterSettings settings(harness.settingsFile());
    settings.setAutomaticallyChecks(true);
    settings.setLastCheck(QDateTime::currentDateTimeUtc().addSecs(-3600));
    auto updater = harness.makeUpdater();
    updater->start();

    QTest::qWait(300);
    EXPECT_TRUE(harness.server.requestedPaths().isEmpty());
}

TEST(AutomaticChecks, FailSilently)
{
    UpdateHarness harness;
    harness.publishFeed("not a signed feed");
    veldran::UpdaterSettings(harness.settingsFile()).setAutomaticallyChecks(true);
    auto updater = harness.makeUpdater();
    updater->start();

    ASSERT_TRUE(QTest::qWaitFor([&] { return !harness.server.requestedPaths().isEmpty(); }, 10'000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return updater->canCheckForUpdates(); }, 10'000));
    EXPECT_TRUE(harness.driver->failures.isEmpty());
    EXPECT_TRUE(veldran::UpdaterSettings(harness.settingsFile()).lastCheck().has_value());
}

TEST(AutomaticChecks, TurningThemOnChecksWhenADayHasPassed)
{
    UpdateHarness harness;
    harness.publishUpdate(newBundle(), newBundle());
    auto updater = harness.makeUpdater();
    updater->start();
    QTest::qWait(100);
    ASSERT_TRUE(harness.server.requestedPaths().isEmpty());

    updater->setAutomaticallyChecksForUpdates(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return harness.driver->downloadQuestions == 1; }, 10'000));
}

}  // namespace
