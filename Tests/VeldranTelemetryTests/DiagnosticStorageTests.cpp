#include "TestSupport.hpp"

#include "VeldranTelemetry/DiagnosticStorage.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace veldran {
namespace {

using testing::permissionsOf;

class DiagnosticStorageTest : public ::testing::Test {
protected:
    QString base() const { return caches.filePath(QStringLiteral("nested/parents/BetaDiagnostics")); }
    DiagnosticStorage storage() { return DiagnosticStorage("unused", defaults.settings(), base()); }
    QVariant storedGeneration() { return defaults.settings().value(DiagnosticStorage::generationKey); }

    QTemporaryDir caches;
    testing::TemporarySettings defaults;
};

TEST_F(DiagnosticStorageTest, CreatesAnOwnerOnlyGenerationFolderWithOwnerOnlyParents)
{
    const auto folder = storage().directoryForConsentedRun();
    ASSERT_TRUE(folder);
    EXPECT_TRUE(QFileInfo(*folder).isDir());
    EXPECT_EQ(QFileInfo(*folder).dir().absolutePath(), base());
    const QString name = QFileInfo(*folder).fileName();
    EXPECT_EQ(storedGeneration().toString(), name);
    EXPECT_EQ(name, name.toUpper());
    for (const QString& created : {*folder, base(), caches.filePath("nested/parents"), caches.filePath("nested")})
        EXPECT_EQ(permissionsOf(created), 0700u) << created.toStdString();
}

TEST_F(DiagnosticStorageTest, AStoredGenerationGivesTheSameFolderEveryTime)
{
    const auto first = storage().directoryForConsentedRun();
    const auto second = storage().directoryForConsentedRun();
    ASSERT_TRUE(first);
    EXPECT_EQ(first, second);
}

TEST_F(DiagnosticStorageTest, ALowerCaseGenerationNamesTheFolderInItsReformattedText)
{
    defaults.settings().setValue(DiagnosticStorage::generationKey, "0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d");
    const auto folder = storage().directoryForConsentedRun();
    ASSERT_TRUE(folder);
    EXPECT_EQ(QFileInfo(*folder).fileName(), "0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D");
    EXPECT_EQ(storedGeneration().toString(), "0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D");
}

TEST_F(DiagnosticStorageTest, TextThatIsNotExactlyAUuidIsReplaced)
{
    for (const char* stored : {"{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}", "0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D\n",
             "../../escape", "0A1B2C3D4E5F4A6B8C7D9E0F1A2B3C4D", ""}) {
        SCOPED_TRACE(stored);
        defaults.settings().setValue(DiagnosticStorage::generationKey, stored);
        const auto folder = storage().directoryForConsentedRun();
        ASSERT_TRUE(folder);
        EXPECT_EQ(QFileInfo(*folder).dir().absolutePath(), base());
        EXPECT_NE(storedGeneration().toString(), stored);
        EXPECT_EQ(QFileInfo(*folder).fileName(), storedGeneration().toString());
    }
}

TEST_F(DiagnosticStorageTest, AFileInThePlaceOfAParentGivesNoFolderAndLeavesTheKey)
{
    QFile blocker(caches.filePath("nested"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(storage().directoryForConsentedRun());
    EXPECT_FALSE(defaults.settings().contains(DiagnosticStorage::generationKey));
}

TEST_F(DiagnosticStorageTest, PurgeRemovesEveryGenerationAndTheNextRunStartsAFreshOne)
{
    auto current = storage();
    const auto first = current.directoryForConsentedRun();
    ASSERT_TRUE(first);
    QFile report(QDir(*first).filePath("crash-1-1.json"));
    ASSERT_TRUE(report.open(QIODevice::WriteOnly));
    report.close();

    current.purge();
    EXPECT_FALSE(QFileInfo::exists(base()));
    EXPECT_FALSE(defaults.settings().contains(DiagnosticStorage::generationKey));
    const auto second = current.directoryForConsentedRun();
    ASSERT_TRUE(second);
    EXPECT_NE(QFileInfo(*first).fileName(), QFileInfo(*second).fileName());
}

TEST_F(DiagnosticStorageTest, PurgeIgnoresAFailedRemovalButForgetsTheGeneration)
{
    DiagnosticStorage failing("unused", defaults.settings(), base(), [](const QString&) { return false; });
    ASSERT_TRUE(failing.directoryForConsentedRun());
    failing.purge();
    EXPECT_FALSE(defaults.settings().contains(DiagnosticStorage::generationKey));
    EXPECT_TRUE(QFileInfo::exists(base()));
}

TEST_F(DiagnosticStorageTest, DefaultBaseLiesInTheCacheFolderUnderTheBundleIdentifier)
{
    // The suite's main points XDG_CACHE_HOME at a temporary folder already; narrow it to this test's own.
    const QByteArray previous = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(caches.path()));
    const DiagnosticStorage fromIdentifier("studio.veldran.tilvane", defaults.settings());
    const DiagnosticStorage climbing("..", defaults.settings());
    const DiagnosticStorage splitting("a/b", defaults.settings());
    qputenv("XDG_CACHE_HOME", previous);

    EXPECT_EQ(fromIdentifier.base(), caches.filePath("studio.veldran.tilvane/BetaDiagnostics"));
    EXPECT_FALSE(climbing.base());
    EXPECT_FALSE(splitting.base());
}

}  // namespace
}  // namespace veldran
