#include "UpdateHarness.hpp"

#include "VeldranUpdater/CheckForUpdatesButton.hpp"

namespace {

QByteArray newBundle(const QString& name = "X.app", const QString& version = "2")
{
    return TestArchive::bundle(name, version, "new build").bytes();
}

void expectUntouched(const UpdateHarness& harness)
{
    EXPECT_EQ(harness.namesBesideBundle(), QStringList({"X.app"})) << "no staging folder is left";
    EXPECT_EQ(readFile(harness.bundleRoot() + "/bin/tilvane"), "old");
    EXPECT_TRUE(harness.relauncher->relaunchedBundles.isEmpty());
}

// The user's answers to both questions about build 2, and what must follow from them.
struct AnswerCase {
    const char* name;
    bool acceptsDownload;
    bool acceptsInstall;
    QStringList requestedPaths;
    QByteArray installedExecutable;
};

class UserAnswerTest : public testing::TestWithParam<AnswerCase> {};

TEST_P(UserAnswerTest, DownloadsAndInstallsOnlyWhatTheUserAccepts)
{
    UpdateHarness harness;
    harness.publishUpdate(newBundle());
    harness.driver->acceptsDownload = GetParam().acceptsDownload;
    harness.driver->acceptsInstall = GetParam().acceptsInstall;
    auto updater = harness.startUpdater();
    veldran::CheckForUpdatesButton command(*updater);
    ASSERT_TRUE(command.isEnabled());
    command.trigger();
    EXPECT_FALSE(command.isEnabled()) << "the command is disabled while a check runs";
    ASSERT_TRUE(QTest::qWaitFor([&] { return command.isEnabled(); }, 10'000));

    const bool installed = GetParam().acceptsInstall;
    const QString executable = harness.bundleRoot() + "/bin/tilvane";
    EXPECT_EQ(harness.server.requestedPaths(), GetParam().requestedPaths);
    EXPECT_EQ(harness.driver->installQuestions, GetParam().acceptsDownload ? 1 : 0);
    EXPECT_EQ(harness.driver->failures, QStringList());
    EXPECT_EQ(readFile(executable), GetParam().installedExecutable);
    EXPECT_TRUE(!installed || QFileInfo(executable).isExecutable());
    EXPECT_EQ(harness.relauncher->relaunchedBundles, installed ? QStringList({harness.bundleRoot()}) : QStringList());
    EXPECT_EQ(harness.namesBesideBundle(), QStringList({"X.app"})) << "staging and the old bundle are gone";
}

const QStringList feedAndArchive{UpdateHarness::feedPath, UpdateHarness::archivePath};

INSTANTIATE_TEST_SUITE_P(Answers, UserAnswerTest,
                         testing::Values(AnswerCase{"DeclinesDownload", false, false, {UpdateHarness::feedPath}, "old"},
                                         AnswerCase{"DeclinesInstall", true, false, feedAndArchive, "old"},
                                         AnswerCase{"AcceptsBoth", true, true, feedAndArchive, "new build"}),
                         caseName);

struct RefusalCase {
    const char* name;
    std::function<void(UpdateHarness&)> publish;
    QString message;
    bool archiveRequested = true;
};

class UpdateRefusalTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(UpdateRefusalTest, TellsTheUserAndLeavesNothingOnDisk)
{
    UpdateHarness harness;
    GetParam().publish(harness);
    harness.driver->acceptsDownload = harness.driver->acceptsInstall = true;
    harness.checkAndWait(*harness.startUpdater());

    EXPECT_EQ(harness.driver->failures, QStringList({GetParam().message}));
    EXPECT_EQ(harness.archiveWasRequested(), GetParam().archiveRequested);
    EXPECT_EQ(harness.driver->installQuestions, 0);
    expectUntouched(harness);
}

// The feed document offering the new bundle, served at archiveURL.
QByteArray feedDocumentFor(UpdateHarness& h, const QUrl& archiveURL)
{
    h.server.serve(UpdateHarness::archivePath, newBundle());
    return appcastDocument({{"2", archiveURL, newBundle().size(), h.key.signatureBase64(newBundle())}});
}
QByteArray feedDocumentFor(UpdateHarness& h) { return feedDocumentFor(h, h.server.url(UpdateHarness::archivePath)); }

QByteArray tampered(QByteArray bytes)
{
    bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x20);
    return bytes;
}

const QString wrongLength = "O tamanho da atualização baixada não confere com o anunciado.";
const QString unsafePath = "A atualização contém um caminho inseguro e foi recusada.";
const QString noNewerVersion = "A atualização não contém uma versão mais nova do aplicativo.";
const QByteArray longer = newBundle() + QByteArray(4096, 'x');

INSTANTIATE_TEST_SUITE_P(
    Refusals, UpdateRefusalTest,
    testing::Values(
        RefusalCase{"UnsignedFeed", [](UpdateHarness& h) { h.publishFeed(feedDocumentFor(h)); },
                    "A lista de atualizações não está assinada.", false},
        RefusalCase{"TamperedFeed", [](UpdateHarness& h) { h.publishFeed(tampered(h.key.signedFeed(feedDocumentFor(h)))); },
                    "A assinatura da lista de atualizações é inválida.", false},
        RefusalCase{"FeedLargerThanOneMebibyte",
                    [](UpdateHarness& h) { h.publishFeed(h.key.signedFeed(feedDocumentFor(h) + QByteArray(1 << 20, ' '))); },
                    "A lista de atualizações é grande demais.", false},
        RefusalCase{"MissingFeed", [](UpdateHarness&) {}, "Não foi possível obter a lista de atualizações.", false},
        RefusalCase{"ArchiveOverPlainHttpToAnotherHost",
                    [](UpdateHarness& h) { h.publishFeed(h.key.signedFeed(feedDocumentFor(h, QUrl("http://localhost:1/X.tar.gz")))); },
                    "O endereço de atualizações não é seguro.", false},
        RefusalCase{"TamperedArchive", [](UpdateHarness& h) { h.publishUpdate(tampered(newBundle()), newBundle()); },
                    "A assinatura da atualização baixada é inválida."},
        RefusalCase{"LongerThanDeclared", [](UpdateHarness& h) { h.publishUpdate(longer, newBundle(), newBundle().size()); },
                    wrongLength},
        RefusalCase{"LongerThanDeclaredWithoutContentLength",
                    [](UpdateHarness& h) { h.publishUpdate(longer, newBundle(), newBundle().size(), false); }, wrongLength},
        RefusalCase{"ShorterThanDeclared",
                    [](UpdateHarness& h) { h.publishUpdate(newBundle(), newBundle(), newBundle().size() + 1); }, wrongLength},
        RefusalCase{"TraversalEntry",
                    [](UpdateHarness& h) { h.publishUpdate(TestArchive::bundle("X.app", "2", "new").file("../../escape", "x").bytes()); },
                    unsafePath},
        // Inside the staging folder, but beside the bundle once the bundle is moved into place.
        RefusalCase{"SymlinkOutOfTheStagedBundle",
                    [](UpdateHarness& h) {
                        h.publishUpdate(TestArchive::bundle("X.app", "2", "new").file("Y/data", "y").symlink("X.app/data", "../Y/data").bytes());
                    },
                    unsafePath},
        RefusalCase{"OlderBuild", [](UpdateHarness& h) { h.publishUpdate(newBundle("X.app", "1")); }, noNewerVersion},
        RefusalCase{"AnotherBundle", [](UpdateHarness& h) { h.publishUpdate(newBundle("Y.app")); }, noNewerVersion}),
    caseName);

TEST(UpdateFlow, OlderOrSameVersionIsNotOffered)
{
    UpdateHarness harness;
    const QUrl url = harness.server.url(UpdateHarness::archivePath);
    const QByteArray signature = harness.key.signatureBase64(newBundle());
    harness.publishFeed(harness.key.signedFeed(appcastDocument({{"0.9", url, 10, signature}, {"1", url, 10, signature}})));
    harness.checkAndWait(*harness.startUpdater());
    EXPECT_EQ(harness.driver->upToDateNotices, 1);
    EXPECT_EQ(harness.driver->downloadQuestions, 0);
    EXPECT_EQ(harness.driver->failures, QStringList());
}

TEST(AutomaticChecks, RunAtStartOnceADayHasPassed)
{
    UpdateHarness harness;
    harness.publishUpdate(newBundle());
    const QDateTime twoDaysAgo = QDateTime::currentDateTimeUtc().addDays(-2);
    auto updater = harness.startUpdater(true, twoDaysAgo);
    ASSERT_TRUE(QTest::qWaitFor([&] { return harness.driver->downloadQuestions == 1; }, 10'000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return updater->canCheckForUpdates(); }, 10'000));
    EXPECT_GT(*veldran::UpdaterSettings(harness.settingsFile()).lastCheck(), twoDaysAgo);
}

TEST(AutomaticChecks, FailSilently)
{
    UpdateHarness harness;
    harness.publishFeed("not a signed feed");
    auto updater = harness.startUpdater(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !harness.server.requestedPaths().isEmpty(); }, 10'000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return updater->canCheckForUpdates(); }, 10'000));
    EXPECT_EQ(harness.driver->failures, QStringList());
    EXPECT_TRUE(veldran::UpdaterSettings(harness.settingsFile()).lastCheck().has_value());
}

TEST(AutomaticChecks, TurningThemOnChecksWhenADayHasPassed)
{
    UpdateHarness harness;
    harness.publishUpdate(newBundle());
    auto updater = harness.startUpdater();
    QTest::qWait(100);
    ASSERT_TRUE(harness.server.requestedPaths().isEmpty());
    updater->setAutomaticallyChecksForUpdates(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return harness.driver->downloadQuestions == 1; }, 10'000));
}

}  // namespace
