#include "UpdateHarness.hpp"

#include "VeldranUpdater/BundleInstaller.hpp"
#include "VeldranUpdater/UpdateError.hpp"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace {

class BundleInstallerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        writeFile(folder.filePath("X.app/bin/tilvane"), "old");
        writeFile(folder.filePath("staging/X.app/bin/tilvane"), "new");
    }

    QString bundle() const { return folder.filePath("X.app"); }
    QString staged() const { return folder.filePath("staging/X.app"); }
    QString backup() const { return folder.filePath("staging/previous"); }

    QTemporaryDir folder;
};

TEST_F(BundleInstallerTest, PutsTheStagedBundleInPlace)
{
    veldran::BundleInstaller().install(staged(), bundle(), backup());
    EXPECT_EQ(readFile(folder.filePath("X.app/bin/tilvane")), "new");
    EXPECT_EQ(readFile(folder.filePath("staging/previous/bin/tilvane")), "old");
}

TEST_F(BundleInstallerTest, RollsBackWhenTheSecondRenameFails)
{
    int renames = 0;
    const veldran::BundleInstaller installer([&](const QString& from, const QString& to) {
        ++renames;
        return renames != 2 && veldran::BundleInstaller::renameOnDisk(from, to);
    });
    EXPECT_THROW(installer.install(staged(), bundle(), backup()), veldran::UpdateError);
    EXPECT_EQ(renames, 3);
    EXPECT_EQ(readFile(folder.filePath("X.app/bin/tilvane")), "old");
    EXPECT_FALSE(QDir(backup()).exists());
}

TEST_F(BundleInstallerTest, SaysSoWhenTheInstalledBundleCannotBePutBack)
{
    int renames = 0;
    const veldran::BundleInstaller installer([&](const QString& from, const QString& to) {
        ++renames;
        return renames == 1 && veldran::BundleInstaller::renameOnDisk(from, to);
    });
    try {
        installer.install(staged(), bundle(), backup());
        ADD_FAILURE() << "the install was reported as done";
    } catch (const veldran::UpdateError& error) {
        EXPECT_EQ(error.errorCase(), veldran::UpdateErrorCase::rollbackFailed)
            << "the user must not be told the current version was kept in place";
    }
    EXPECT_EQ(readFile(folder.filePath("staging/previous/bin/tilvane")), "old");
}

TEST_F(BundleInstallerTest, LeavesTheBundleWhenItCannotBeMovedAside)
{
    const veldran::BundleInstaller installer([](const QString&, const QString&) { return false; });
    EXPECT_THROW(installer.install(staged(), bundle(), backup()), veldran::UpdateError);
    EXPECT_EQ(readFile(folder.filePath("X.app/bin/tilvane")), "old");
}

}  // namespace
