#include "UpdateHarness.hpp"


namespace {

QByteArray newBundle(const QString& name = "X.app", const QString& version = "2") { return TestArchive::bundle(name, version, "new build").bytes(); }

// What a user check publishes (the user accepting both questions unless the row says otherwise) and what must follow.
struct CheckCase {
    const char* name;
    std::function<void(UpdateHarness&)> publish;
    QString failure;  // none when empty
    bool offered = true;
    bool archiveRequested = true;
    bool installed = false;
};

class UserCheckTest : public testing::TestWithParam<CheckCase> {};

TEST_P(UserCheckTest, InstallsOnlyWhatIsAcceptedAndSafeAndLeavesNothingElseOnDisk)
{
    UpdateHarness harness;
    harness.driver->acceptsDownload = harness.driver->acceptsInstall = true;
    GetParam().publish(harness);
    auto updater = harness.startUpdater();
    veldran::CheckForUpdatesButton command(*updater);
    ASSERT_TRUE(command.isEnabled());
    command.trigger();
    EXPECT_FALSE(command.isEnabled()) << "the command is disabled while a check runs";
    ASSERT_TRUE(QTest::qWaitFor([&] { return command.isEnabled(); }, 10'000));

    const CheckCase& row = GetParam();
    const QString executable = harness.bundleRoot() + "/bin/tilvane";
    EXPECT_EQ(harness.driver->failures, row.failure.isEmpty() ? QStringList() : QStringList({row.failure}));
    EXPECT_EQ(harness.driver->downloadQuestions, row.offered ? 1 : 0);
    EXPECT_EQ(harness.archiveWasRequested(), row.archiveRequested);
    EXPECT_EQ(harness.driver->installQuestions, row.archiveRequested && row.failure.isEmpty() ? 1 : 0);
    EXPECT_EQ(readFile(executable), row.installed ? "new build" : "old");
    EXPECT_TRUE(!row.installed || QFileInfo(executable).isExecutable());
    EXPECT_EQ(harness.relauncher->relaunchedBundles, row.installed ? QStringList({harness.bundleRoot()}) : QStringList());
    EXPECT_EQ(namesIn(harness.folderPath()), QStringList({"X.app"})) << "no staging folder or old bundle is left";
}

// The feed document offering the new bundle, served at archiveURL (the loopback server's when absent).
QByteArray feedDocumentFor(UpdateHarness& h, std::optional<QUrl> archiveURL = {})
{
    h.server.serve(UpdateHarness::archivePath, newBundle());
    return appcastDocument({{"2", archiveURL.value_or(h.server.url(UpdateHarness::archivePath)), newBundle().size(),
                             h.key.signatureBase64(newBundle())}});
}

const QString wrongLength = "O tamanho da atualização baixada não confere com o anunciado.";
const QString unsafePath = "A atualização contém um caminho inseguro e foi recusada.";
const QString noNewerVersion = "A atualização não contém uma versão mais nova do aplicativo.";

INSTANTIATE_TEST_SUITE_P(Checks, UserCheckTest, testing::Values(
        CheckCase{"AcceptedUpdate", [](UpdateHarness& h) { h.publishUpdate(newBundle()); }, {}, true, true, true},
        CheckCase{"DeclinedInstall", [](UpdateHarness& h) { h.publishUpdate(newBundle()), h.driver->acceptsInstall = false; }, {}},
        CheckCase{"DeclinedDownload", [](UpdateHarness& h) { h.publishUpdate(newBundle()), h.driver->acceptsDownload = false; }, {}, true, false},
        CheckCase{"OnlyOlderOrSameVersions", [](UpdateHarness& h) {
                      const QByteArray signature = h.key.signatureBase64("");
                      h.publishFeed(h.key.signedFeed(appcastDocument({{"0.9", QUrl("https://example.test/a"), 9, signature},
                                                                      {"1", QUrl("https://example.test/b"), 9, signature}})));
                  }, {}, false, false},
        CheckCase{"UnsignedFeed", [](UpdateHarness& h) { h.publishFeed(feedDocumentFor(h)); }, "A lista de atualizações não está assinada.", false, false},
        CheckCase{"TamperedFeed", [](UpdateHarness& h) { h.publishFeed(changedAt(h.key.signedFeed(feedDocumentFor(h)), 60)); },
                  "A assinatura da lista de atualizações é inválida.", false, false},
        CheckCase{"FeedLargerThanOneMebibyte", [](UpdateHarness& h) { h.publishFeed(h.key.signedFeed(feedDocumentFor(h) + QByteArray(1 << 20, ' '))); },
                  "A lista de atualizações é grande demais.", false, false},
        CheckCase{"MissingFeed", [](UpdateHarness&) {}, "Não foi possível obter a lista de atualizações.", false, false},
        CheckCase{"ArchiveOverPlainHttpToAnotherHost",
                  [](UpdateHarness& h) { h.publishFeed(h.key.signedFeed(feedDocumentFor(h, QUrl("http://localhost:1/X.tar.gz")))); },
                  "O endereço de atualizações não é seguro.", false, false},
        CheckCase{"TamperedArchive", [](UpdateHarness& h) { h.publishUpdate(changedAt(newBundle(), 100), newBundle()); }, "A assinatura da atualização baixada é inválida."},
        // Without a Content-Length the download itself must stop once it passes the declared length.
        CheckCase{"LongerThanDeclared", [](UpdateHarness& h) { h.publishUpdate(newBundle() + QByteArray(4096, 'x'), newBundle(), newBundle().size(), false); }, wrongLength},
        CheckCase{"ShorterThanDeclared", [](UpdateHarness& h) { h.publishUpdate(newBundle(), newBundle(), newBundle().size() + 1); }, wrongLength},
        CheckCase{"TraversalEntry", [](UpdateHarness& h) { h.publishUpdate(TestArchive::bundle("X.app", "2", "new").file("../../escape", "x").bytes()); }, unsafePath},
        // Inside the staging folder, but beside the bundle once the bundle is moved into place.
        CheckCase{"SymlinkOutOfTheStagedBundle", [](UpdateHarness& h) {
                      h.publishUpdate(TestArchive::bundle("X.app", "2", "new").file("Y/data", "y").symlink("X.app/data", "../Y/data").bytes());
                  }, unsafePath},
        CheckCase{"OlderBuildInTheArchive", [](UpdateHarness& h) { h.publishUpdate(newBundle("X.app", "1")); }, noNewerVersion},
        CheckCase{"AnotherBundleInTheArchive", [](UpdateHarness& h) { h.publishUpdate(newBundle("Y.app")); }, noNewerVersion}), caseName);

// Automatic checks with the last check two days ago: switched on when the updater starts or turned on later.
struct AutomaticCheckCase {
    const char* name;
    bool turnedOnLater;
    bool validFeed;
};

class AutomaticCheckTest : public testing::TestWithParam<AutomaticCheckCase> {};

TEST_P(AutomaticCheckTest, RunOnceADayHasPassedAndFailSilently)
{
    UpdateHarness harness;
    GetParam().validFeed ? harness.publishUpdate(newBundle()) : harness.publishFeed("not a signed feed");
    const QDateTime twoDaysAgo = QDateTime::currentDateTimeUtc().addDays(-2);
    auto updater = harness.startUpdater(!GetParam().turnedOnLater, twoDaysAgo);
    if (GetParam().turnedOnLater) {
        QTest::qWait(100);
        ASSERT_TRUE(harness.server.requestedPaths().isEmpty());
        updater->setAutomaticallyChecksForUpdates(true);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !harness.server.requestedPaths().isEmpty() && updater->canCheckForUpdates(); },
                                10'000));
    EXPECT_EQ(harness.driver->downloadQuestions, GetParam().validFeed ? 1 : 0);
    EXPECT_EQ(harness.driver->failures, QStringList());
    EXPECT_GT(veldran::UpdaterSettings(harness.settingsFile()).lastCheck().value_or(twoDaysAgo), twoDaysAgo);
}

INSTANTIATE_TEST_SUITE_P(Checks, AutomaticCheckTest, testing::Values(AutomaticCheckCase{"AtStart", false, true},
    AutomaticCheckCase{"AtStartFailingSilently", false, false}, AutomaticCheckCase{"WhenTurnedOn", true, true}), caseName);

}  // namespace
