#include "UpdateHarness.hpp"


#include <QLabel>

namespace {

// The command's and the section's texts and states, the section's note last.
QStringList shownFor(veldran::AppUpdater& updater)
{
    const veldran::CheckForUpdatesButton command(updater);
    const veldran::UpdateSettingsSection section(updater);
    const auto* toggle = section.findChild<QCheckBox*>();
    const auto state = [](bool on) { return QString(on ? "on" : "off"); };
    QStringList shown{command.text(), state(command.isEnabled()), toggle->text(), state(toggle->isEnabled()),
                      state(toggle->isChecked())};
    for (const QLabel* label : section.findChildren<QLabel*>())
        if (label->text() != "Atualizações") shown.append(label->text());
    return shown;
}

void expectInert(veldran::AppUpdater& updater)
{
    EXPECT_FALSE(updater.isAvailable() || updater.canCheckForUpdates() || updater.canRequestUpdate());
    EXPECT_EQ(updater.findChild<veldran::Updater*>(), nullptr);
    EXPECT_EQ(shownFor(updater),
              QStringList({"Buscar atualizações…", "off", "Verificar atualizações automaticamente", "off", "off",
                           "Atualizações automáticas não estão disponíveis nesta versão."}));
}

TEST(AppUpdaterStart, RunsInsideAnAppBundleWithSafeKeysAndShowsTheStoredChoice)
{
    UpdateHarness harness;
    auto updater = harness.startUpdater(true, QDateTime::currentDateTimeUtc().addSecs(-3600));
    EXPECT_TRUE(updater->isAvailable() && updater->canCheckForUpdates() && updater->canRequestUpdate());
    EXPECT_EQ(shownFor(*updater),
              QStringList({"Buscar atualizações…", "on", "Verificar atualizações automaticamente", "on", "on",
                           "Cada atualização só é baixada e instalada com a sua confirmação."}));
    QTest::qWait(300);
    EXPECT_TRUE(harness.server.requestedPaths().isEmpty()) << "no automatic check before a day has passed";

    auto* frameworkUpdater = updater->findChild<veldran::Updater*>();
    const auto& delegate = static_cast<const veldran::UpdaterDelegate&>(*updater);
    EXPECT_EQ(delegate.feedURLString(*frameworkUpdater), harness.feedAddress());
    EXPECT_TRUE(delegate.allowedSystemProfileKeys(*frameworkUpdater).isEmpty());
    updater->start();
    EXPECT_EQ(updater->findChildren<veldran::Updater*>(), QList<veldran::Updater*>({frameworkUpdater}))
        << "a second start does nothing";
}

// Every row uses the safe keys of the harness unless it names a change.
struct GateCase {
    const char* name;
    const char* bundleName;  // the test program's own place in the build tree when null
    const char* key = nullptr;
    QJsonValue value = {};
    bool removesInfo = false;
};

class StartGateTest : public testing::TestWithParam<GateCase> {};

TEST_P(StartGateTest, LeavesTheUpdaterInertForTheWholeRun)
{
    UpdateHarness harness;
    std::optional<QString> root;
    if (GetParam().bundleName) {
        root = harness.folderPath() + "/" + GetParam().bundleName;
        harness.writeInfo(*root, GetParam().key, GetParam().value);
    }
    if (GetParam().removesInfo) {
        ASSERT_TRUE(QFile::remove(*root + "/Resources/Info.json"));
    }
    auto updater = harness.makeUpdater(root);
    updater->start();
    if (root) harness.writeInfo(*root);
    updater->start();
    expectInert(*updater);
}

INSTANTIATE_TEST_SUITE_P(Gates, StartGateTest,
                         testing::Values(GateCase{"RunFromTheBuildTree", nullptr}, GateCase{"PlainFolder", "Plain"},
                                         GateCase{"UpperCaseSuffix", "X.APP"}, GateCase{"SuffixWithoutDot", "Xapp"},
                                         GateCase{"SuffixFollowedByMore", "X.app.old"},
                                         GateCase{"UnsafeKey", "X.app", "SUAutomaticallyUpdate", true},
                                         GateCase{"NoInfoFile", "X.app", nullptr, {}, true}),
                         caseName);

// A start that fails after the updater has reported automatic checks "on" must not leave the disabled toggle
// showing "on" next to the "not available" note.
TEST(AppUpdaterStart, FailedStartSwitchesTheAutomaticChecksFlagOff)
{
    UpdateHarness harness;
    veldran::UpdaterSettings(harness.settingsFile()).setAutomaticallyChecks(true);
    harness.writeInfo(harness.bundleRoot(), "CFBundleVersion", QJsonValue::Undefined);
    auto updater = harness.makeUpdater(harness.bundleRoot());
    EXPECT_EQ(updater->findChild<veldran::Updater*>(), nullptr) << "nothing is created before start()";
    QSignalSpy automaticChecks(updater.get(), &veldran::AppUpdater::automaticallyChecksForUpdatesChanged);
    updater->start();

    ASSERT_EQ(automaticChecks.count(), 2) << "the observation showed the stored value before the start failed";
    EXPECT_FALSE(automaticChecks.at(1).at(0).toBool() || updater->automaticallyChecksForUpdates());
    expectInert(*updater);
    EXPECT_TRUE(veldran::UpdaterSettings(harness.settingsFile()).automaticallyChecks())
        << "the user's stored choice is kept for a build that can start";
}

}  // namespace
