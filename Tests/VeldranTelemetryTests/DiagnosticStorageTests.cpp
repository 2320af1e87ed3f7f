#include "TestSupport.hpp"

#include "VeldranTelemetry/DiagnosticStorage.hpp"

#include <QFile>
#include <QFileInfo>

namespace veldran {
namespace {

using testing::permissionsOf;

class DiagnosticStorageTest : public ::testing::Test {
protected:
    QString base() const { return caches.filePath(QStringLiteral("nested/parents/BetaDiagnostics")); }
    DiagnosticStorage storage() { return DiagnosticStorage("unused", defaults.settings(), base()); }
    QString storedGeneration() { return defaults.settings().value(DiagnosticStorage::generationKey).toString(); }

    QTemporaryDir caches;
    testing::TemporarySettings defaults;
};

TEST_F(DiagnosticStorageTest, CreatesOneOwnerOnlyGenerationFolderWithOwnerOnlyParents)
{
    const auto folder = storage().directoryForConsentedRun();
    ASSERT_TRUE(folder);
    EXPECT_EQ(storage().directoryForConsentedRun(), folder);
    EXPECT_EQ(QFileInfo(*folder).dir().absolutePath(), base());
    EXPECT_EQ(QFileInfo(*folder).fileName(), storedGeneration());
    for (const QString& created : {*folder, base(), caches.filePath("nested/parents"), caches.filePath("nested")})
        EXPECT_EQ(permissionsOf(created), 0700u) << created.toStdString();
}

TEST_F(DiagnosticStorageTest, TheFolderIsNamedAfterTheReformattedUuidAndAnythingElseIsReplaced)
{
    defaults.settings().setValue(DiagnosticStorage::generationKey, "0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d");
    EXPECT_EQ(QFileInfo(storage().directoryForConsentedRun().value()).fileName(),
              "0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D");
    EXPECT_EQ(storedGeneration(), "0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D");
    for (const char* stored : {"{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}", "0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D\n",
                               "../../escape", "0A1B2C3D4E5F4A6B8C7D9E0F1A2B3C4D", ""}) {
        SCOPED_TRACE(stored);
        defaults.settings().setValue(DiagnosticStorage::generationKey, stored);
        const QFileInfo folder(storage().directoryForConsentedRun().value());
        EXPECT_EQ(folder.dir().absolutePath(), base());
        EXPECT_NE(storedGeneration(), stored);
        EXPECT_EQ(folder.fileName(), storedGeneration());
    }
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
    EXPECT_FALSE(climbing.base() || splitting.base());
}

}  // namespace
}  // namespace veldran
