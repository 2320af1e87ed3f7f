#include "UpdateHarness.hpp"

#include "VeldranUpdater/ArchiveExtractor.hpp"
#include "VeldranUpdater/BundleInstaller.hpp"
#include "VeldranUpdater/HostBundle.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

namespace {

using veldran::UpdateErrorCase;

// <temp>/outside/ sits beside <temp>/staging/, the destination's parent; nothing may reach it.
struct Case {
    const char* name;
    QByteArray archive;
    std::optional<UpdateErrorCase> refusal = UpdateErrorCase::unsafeArchiveEntry;
};

class ArchiveExtractorTest : public testing::TestWithParam<Case> {};

TEST_P(ArchiveExtractorTest, KeepsEveryEntryInsideTheDestination)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath("staging/deeper") && QDir(root.path()).mkpath("outside"));
    writeFile(root.filePath("update.tar.gz"), GetParam().archive);
    EXPECT_EQ(
        refusalOf([&] { veldran::extractArchive(root.filePath("update.tar.gz"), root.filePath("staging/deeper")); }),
        GetParam().refusal);
    EXPECT_EQ(namesIn(root.path()), QStringList({"outside", "staging", "update.tar.gz"}));
    EXPECT_EQ(namesIn(root.filePath("staging")), QStringList({"deeper"}));
    EXPECT_TRUE(namesIn(root.filePath("outside")).isEmpty());
}

const auto bundleX = [] { return TestArchive::bundle("X.app", "2", "new"); };
// X.app/up3 is the staging folder's parent, reached through up and up2.
const auto upThreeLevels = [] {
    return bundleX().symlink("X.app/up", "..").symlink("X.app/up2", "up/..").symlink("X.app/up3", "up2/..");
};

INSTANTIATE_TEST_SUITE_P(
    Entries, ArchiveExtractorTest,
    testing::Values(
        Case{"PlainBundle", bundleX().bytes(), std::nullopt},
        Case{"LinksWithinTheBundle",
             bundleX()
                 .symlink("X.app/Resources/up", "../bin/tilvane")
                 .hardlink("X.app/copy", "X.app/bin/tilvane")
                 .bytes(),
             std::nullopt},
        Case{"DotDotInsideThePath", TestArchive().file("X.app/../../../outside/x", "x").bytes()},
        Case{"AbsolutePath", TestArchive().file("/tmp/veldran-updater-escape", "x").bytes()},
        Case{"SymlinkLeadingOut", bundleX().symlink("X.app/out", "../../../outside").bytes()},
        Case{"WriteThroughASymlinkLeadingOut",
             bundleX().symlink("X.app/out", "../../../outside").file("X.app/out/escape", "x").bytes()},
        Case{"AbsoluteSymlink", TestArchive().symlink("X.app", "/tmp").bytes()},
        // Each link stays inside on its own text, but read through the links before it the last one gets out.
        Case{"SymlinkChainLeadingOut", upThreeLevels().symlink("X.app/out", "up3/outside").bytes()},
        Case{"SymlinkNamedBeforeTheLinkItPassesThrough",
             bundleX().symlink("X.app/out", "up/../../outside").symlink("X.app/up", "..").bytes()},
        Case{"SymlinksInALoop", bundleX().symlink("X.app/a", "b").symlink("X.app/b", "a").bytes()},
        Case{"HardlinkThroughASymlinkChain", upThreeLevels().hardlink("X.app/copy", "X.app/up3/update.tar.gz").bytes()},
        Case{"HardlinkLeadingOut", TestArchive().hardlink("X.app/p", "../../outside/x").bytes()},
        Case{"CharacterDevice", bundleX().special("X.app/null", AE_IFCHR).bytes()},
        Case{"EmptyArchive", TestArchive().bytes(), UpdateErrorCase::malformedArchive},
        Case{"NoArchive", QByteArray(4096, '\x42'), UpdateErrorCase::malformedArchive}),
    caseName);

// A folder its owner may not write into could not be emptied again, and the staging folder (or, after an
// install, the replaced bundle) would stay on disk.
TEST(ArchiveExtractor, KeepsExtractedFoldersWritableByTheirOwner)
{
    QTemporaryDir root;
    writeFile(root.filePath("update.tar.gz"),
              TestArchive().folder("X.app", 0555).folder("X.app/locked", 0).file("X.app/locked/data", "d").bytes());
    ASSERT_TRUE(QDir(root.path()).mkdir("staging"));
    veldran::extractArchive(root.filePath("update.tar.gz"), root.filePath("staging"));
    for (const char* folder : {"staging/X.app", "staging/X.app/locked"}) {
        EXPECT_TRUE(QFileInfo(root.filePath(folder))
                        .permissions()
                        .testFlags(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    EXPECT_TRUE(QFileInfo(root.filePath("staging/X.app")).permissions().testFlag(QFile::ExeOther))
        << "the archive's other bits are kept";
    EXPECT_TRUE(QDir(root.filePath("staging")).removeRecursively());
}

TEST(ArchiveExtractor, RefusesArchivesThatWouldWriteMoreThanTheLimits)
{
    const auto twoFiles =
        TestArchive().folder("X.app").file("X.app/a", QByteArray(1000, 'a')).file("X.app/b", QByteArray(1000, 'b'));
    const auto zeros = TestArchive().folder("X.app").file("X.app/zeros", QByteArray(1 << 20, '\0'));
    // Name, archive, limits, whether it is refused.
    const std::tuple<const char*, TestArchive, veldran::ExtractionLimits, bool> rows[] = {
        {"WithinEveryLimit", twoFiles, {2000, 1000, 3}, false},
        {"OneEntryTooMany", twoFiles, {2000, 1000, 2}, true},
        {"OneByteTooMany", twoFiles, {1999, 1000, 3}, true},
        {"ExpandingAThousandfold", zeros, {}, true},
        {"ExpandingAThousandfoldWhenAllowed", zeros, {1 << 20, 10'000, 2}, false},
    };
    for (const auto& [name, archive, limits, refused] : rows) {
        SCOPED_TRACE(name);
        QTemporaryDir root;
        writeFile(root.filePath("update.tar.gz"), archive.bytes());
        ASSERT_TRUE(QDir(root.path()).mkdir("staging"));
        EXPECT_EQ(refusalOf([&] {
                      veldran::extractArchive(root.filePath("update.tar.gz"), root.filePath("staging"), limits);
                  }),
                  refused ? std::optional(UpdateErrorCase::malformedArchive) : std::nullopt);
    }
}

// A staged bundle's Info.json comes from the archive: a FIFO there must not stop the updater.
TEST(StagedBundleInfo, IsNeverWaitedForWhenItIsNoRegularFile)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath("X.app/Resources"));
    const QString info = root.filePath("X.app/Resources/Info.json");
    ASSERT_EQ(::mkfifo(QFile::encodeName(info).constData(), 0600), 0);
    auto outcome = std::async(std::launch::async, [&] { return veldran::readBundleInfo(root.filePath("X.app")); });
    if (outcome.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
        ADD_FAILURE() << "the read blocked on the FIFO";
        ::close(::open(QFile::encodeName(info).constData(), O_WRONLY | O_NONBLOCK));
    }
    EXPECT_TRUE(outcome.get().isEmpty());
}

// Renames with the given numbers (counted from 1) failing.
struct Failure {
    const char* name;
    std::function<bool(int)> renameFails;
    UpdateErrorCase refusal;
    const char* bundleContent;
};

class BundleInstallerTest : public testing::TestWithParam<Failure> {};

TEST_P(BundleInstallerTest, RollsBackOrSaysWhyItCouldNot)
{
    QTemporaryDir folder;
    writeFile(folder.filePath("X.app/bin/tilvane"), "old");
    writeFile(folder.filePath("staging/X.app/bin/tilvane"), "new");
    int renames = 0;
    const veldran::BundleInstaller installer([&](const QString& from, const QString& to) {
        return !GetParam().renameFails(++renames) && veldran::BundleInstaller::renameOnDisk(from, to);
    });
    const auto install = [&] {
        installer.install(folder.filePath("staging/X.app"), folder.filePath("X.app"),
                          folder.filePath("staging/previous"));
    };
    EXPECT_EQ(refusalOf(install), GetParam().refusal);
    EXPECT_EQ(readFile(folder.filePath("X.app/bin/tilvane")), GetParam().bundleContent);
    EXPECT_EQ(readFile(folder.filePath("staging/previous/bin/tilvane")),
              GetParam().refusal == UpdateErrorCase::rollbackFailed ? "old" : "");
}

INSTANTIATE_TEST_SUITE_P(Failures, BundleInstallerTest,
                         testing::Values(Failure{"CannotMoveTheBundleAside", [](int) { return true; },
                                                 UpdateErrorCase::installFailed, "old"},
                                         Failure{"SecondRenameFails", [](int n) { return n == 2; },
                                                 UpdateErrorCase::installFailed, "old"},
                                         // The user must not be told the current version was kept in place.
                                         Failure{"CannotPutTheBundleBack", [](int n) { return n > 1; },
                                                 UpdateErrorCase::rollbackFailed, ""}),
                         caseName);

}  // namespace
