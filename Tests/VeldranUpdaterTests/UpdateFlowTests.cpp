#include "UpdateHarness.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>


namespace {

QByteArray newBundle(const QString& name = "X.app", const QString& version = "2")
{
    return TestArchive::bundle(name, version, "new build").bytes();
}

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
    EXPECT_EQ(harness.relauncher->relaunchedBundles,
              row.installed ? QStringList({harness.bundleRoot()}) : QStringList());
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

INSTANTIATE_TEST_SUITE_P(
    Checks, UserCheckTest,
    testing::Values(
        CheckCase{"AcceptedUpdate", [](UpdateHarness& h) { h.publishUpdate(newBundle()); }, {}, true, true, true},
        CheckCase{"DeclinedInstall",
                  [](UpdateHarness& h) { h.publishUpdate(newBundle()), h.driver->acceptsInstall = false; },
                  {}},
        CheckCase{"DeclinedDownload",
                  [](UpdateHarness& h) { h.publishUpdate(newBundle()), h.driver->acceptsDownload = false; },
                  {},
                  true,
                  false},
        CheckCase{"OnlyOlderOrSameVersions",
                  [](UpdateHarness& h) {
                      const QByteArray signature = h.key.signatureBase64("");
                      h.publishFeed(
                          h.key.signedFeed(appcastDocument({{"0.9", QUrl("https://example.test/a"), 9, signature},
                                                            {"1", QUrl("https://example.test/b"), 9, signature}})));
                  },
                  {},
                  false,
                  false},
        CheckCase{"UnsignedFeed", [](UpdateHarness& h) { h.publishFeed(feedDocumentFor(h)); },
                  "A lista de atualizações não está assinada.", false, false},
        CheckCase{"TamperedFeed",
                  [](UpdateHarness& h) { h.publishFeed(changedAt(h.key.signedFeed(feedDocumentFor(h)), 60)); },
                  "A assinatura da lista de atualizações é inválida.", false, false},
        CheckCase{
            "FeedLargerThanOneMebibyte",
            [](UpdateHarness& h) { h.publishFeed(h.key.signedFeed(feedDocumentFor(h) + QByteArray(1 << 20, ' '))); },
            "A lista de atualizações é grande demais.", false, false},
        CheckCase{"MissingFeed", [](UpdateHarness&) {}, "Não foi possível obter a lista de atualizações.", false,
                  false},
        CheckCase{"ArchiveOverPlainHttpToAnotherHost",
                  [](UpdateHarness& h) {
                      h.publishFeed(h.key.signedFeed(feedDocumentFor(h, QUrl("http://localhost:1/X.tar.gz"))));
                  },
                  "O endereço de atualizações não é seguro.", false, false},
        CheckCase{"TamperedArchive",
                  [](UpdateHarness& h) { h.publishUpdate(changedAt(newBundle(), 100), newBundle()); },
                  "A assinatura da atualização baixada é inválida."},
        // Without a Content-Length the download itself must stop once it passes the declared length.
        CheckCase{"LongerThanDeclared",
                  [](UpdateHarness& h) {
                      h.publishUpdate(newBundle() + QByteArray(4096, 'x'), newBundle(), newBundle().size(), false);
                  },
                  wrongLength},
        CheckCase{"ShorterThanDeclared",
                  [](UpdateHarness& h) { h.publishUpdate(newBundle(), newBundle(), newBundle().size() + 1); },
                  wrongLength},
        CheckCase{"TraversalEntry",
                  [](UpdateHarness& h) {
                      h.publishUpdate(TestArchive::bundle("X.app", "2", "new").file("../../escape", "x").bytes());
                  },
                  unsafePath},
        // Inside the staging folder, but beside the bundle once the bundle is moved into place.
        CheckCase{"SymlinkOutOfTheStagedBundle",
                  [](UpdateHarness& h) {
                      h.publishUpdate(TestArchive::bundle("X.app", "2", "new")
                                          .file("Y/data", "y")
                                          .symlink("X.app/data", "../Y/data")
                                          .bytes());
                  },
                  unsafePath},
        CheckCase{"OlderBuildInTheArchive", [](UpdateHarness& h) { h.publishUpdate(newBundle("X.app", "1")); },
                  noNewerVersion},
        CheckCase{"AnotherBundleInTheArchive", [](UpdateHarness& h) { h.publishUpdate(newBundle("Y.app")); },
                  noNewerVersion},
        // A signed archive of a few kilobytes that would expand a thousandfold.
        CheckCase{
            "ArchiveExpandingFarBeyondItsSize",
            [](UpdateHarness& h) {
                h.publishUpdate(
                    TestArchive::bundle("X.app", "2", "new").file("X.app/filler", QByteArray(8 << 20, '\0')).bytes());
            },
            "O arquivo da atualização está corrompido."}),
    caseName);

// The updater's start and each check remove what killed updates left beside the bundle, and nothing else.
TEST(StaleStagingFolders, AreRemovedWhenTheUpdaterAndEachCheckStartUnlessHeldOrKeepingTheApplication)
{
    UpdateHarness harness;
    harness.publishUpdate(newBundle());
    // Name, a file inside it, whether the check removes it.
    const std::tuple<QString, QString, bool> rows[] = {
        {".X.app-update-a1B2c3", "update.archive", true},
        {".X.app-update-Zz9Yy8", "extracted/X.app/bin/tilvane", true},
        {".X.app-update-KEEP01", "previous/bin/tilvane", false},  // the application after a failed rollback
        {".X.app-update-Locked", "update.archive", false},        // another process's update in progress
        {".Y.app-update-a1B2c3", "update.archive", false},
        {"X.app-update-a1B2c3", "update.archive", false},
        {".X.app-update-a1B2c3d", "update.archive", false},
    };
    for (const auto& [name, file, removed] : rows) writeFile(harness.folderPath() + '/' + name + '/' + file, "x");
    QFile::link(harness.folderPath() + "/.X.app-update-a1B2c3", harness.folderPath() + "/.X.app-update-Link01");
    QFile locked(harness.folderPath() + "/.X.app-update-Locked");
    const int lock = ::open(QFile::encodeName(locked.fileName()).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);

    auto updater = harness.startUpdater();
    EXPECT_FALSE(QFileInfo::exists(harness.folderPath() + "/.X.app-update-Zz9Yy8"))
        << "removed when the updater starts";
    veldran::CheckForUpdatesButton command(*updater);
    command.trigger();  // the user declines the download: nothing new is staged
    ASSERT_TRUE(QTest::qWaitFor([&] { return command.isEnabled(); }, 10'000));
    ::close(lock);

    QStringList expected{"X.app", ".X.app-update-Link01"};
    for (const auto& [name, file, removed] : rows) {
        if (!removed) expected.append(name);
    }
    QStringList left = namesIn(harness.folderPath());
    left.sort(), expected.sort();
    EXPECT_EQ(left, expected);
    EXPECT_EQ(harness.driver->downloadQuestions, 1);
}

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
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !harness.server.requestedPaths().isEmpty() && updater->canCheckForUpdates(); }, 10'000));
    EXPECT_EQ(harness.driver->downloadQuestions, GetParam().validFeed ? 1 : 0);
    EXPECT_EQ(harness.driver->failures, QStringList());
    EXPECT_GT(veldran::UpdaterSettings(harness.settingsFile()).lastCheck().value_or(twoDaysAgo), twoDaysAgo);
}

INSTANTIATE_TEST_SUITE_P(Checks, AutomaticCheckTest,
                         testing::Values(AutomaticCheckCase{"AtStart", false, true},
                                         AutomaticCheckCase{"AtStartFailingSilently", false, false},
                                         AutomaticCheckCase{"WhenTurnedOn", true, true}),
                         caseName);

}  // namespace
