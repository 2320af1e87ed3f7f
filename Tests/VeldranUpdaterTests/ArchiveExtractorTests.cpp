#include "TestArchive.hpp"
#include "UpdateHarness.hpp"

#include "VeldranUpdater/ArchiveExtractor.hpp"
#include "VeldranUpdater/UpdateError.hpp"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <archive_entry.h>

#include <functional>

namespace {

using veldran::UpdateErrorCase;

// <temp>/outside/ sits beside <temp>/staging/, the destination; nothing may reach it.
struct ExtractionCase {
    const char* name;
    std::function<TestArchive()> archive;
    std::optional<UpdateErrorCase> refusal;
};

void PrintTo(const ExtractionCase& testCase, std::ostream* stream)
{
    *stream << testCase.name;
}


class ArchiveExtractorTest : public testing::TestWithParam<ExtractionCase> {};

TEST_P(ArchiveExtractorTest, KeepsEveryEntryInsideTheDestination)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    ASSERT_TRUE(QDir(root.path()).mkpath("staging/deeper"));
    ASSERT_TRUE(QDir(root.path()).mkpath("outside"));
    const QString archivePath = root.filePath("update.tar.gz");
    writeFile(archivePath, GetParam().archive().bytes());

    std::optional<UpdateErrorCase> refusal;
    try {
        veldran::extractArchive(archivePath, root.filePath("staging/deeper"));
    } catch (const veldran::UpdateError& error) {
        refusal = error.errorCase();
    }

    EXPECT_EQ(refusal, GetParam().refusal);
    EXPECT_TRUE(QDir(root.filePath("outside")).isEmpty());
    EXPECT_EQ(QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"outside", "staging", "update.tar.gz"}));
    EXPECT_EQ(QDir(root.filePath("staging")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"deeper"}));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ArchiveExtractorTest,
    testing::Values(
        ExtractionCase{"PlainBundle", [] { return TestArchive::bundle("X.app", "2", "new"); }, std::nullopt},
        ExtractionCase{"LinkWithinTheBundle",
                       [] {
                           return TestArchive::bundle("X.app", "2", "new")
                               .symlink("X.app/bin/current", "tilvane")
                               .symlink("X.app/Resources/up", "../bin/tilvane")
                               .hardlink("X.app/bin/copy", "X.app/bin/tilvane");
                       },
                       std::nullopt},
        ExtractionCase{"DotDotPath",
                       [] { return TestArchive().file("X.app/a", "a").file("../../outside/escape", "x"); },
                       UpdateErrorCase::unsafeArchiveEntry},
        ExtractionCase{"DotDotInsideThePath",
                       [] { return TestArchive().file("X.app/../../../outside/escape", "x"); },
                       UpdateErrorCase::unsafeArchiveEntry},
        ExtractionCase{"AbsolutePath",
                       [] { return TestArchive().file("/tmp/veldran-updater-escape", "x"); },
                       UpdateErrorCase::unsafeArchiveEntry},
        ExtractionCase{"SymlinkLeadingOut",
                       [] {
                           return TestArchive()
                               .folder("X.app")
                               .symlink("X.app/out", "../../../outside")
                               .file("X.app/out/escape", "x");
                       },
                       UpdateErrorCase::unsafeArchiveEntry},
        ExtractionCase{"SymlinkLeadingOutLeftInTheBundle",
                       [] { return TestArchive().folder("X.app").symlink("X.app/out", "../../../outside"); },
                       UpdateErrorCase::unsafeArchiveEntry},
        // Each link stays inside on its own text, but read through the links before it the last
        // one reaches <temp>/outside.
        ExtractionCase{"SymlinkChainLeadingOut",
                       [] {
                           return TestArchive()
                               .folder("X.app")
                               .symlink("X.app/up", "..")
                               .symlink("X.app/up2", "up/..")
                               .symlink("X.app/up3", "up2/..")
                               .symlink("X.app/out", "up3/outside");
                       },
                       UpdateErrorCase::unsafeArchiveEntry},
        ExtractionCase{"SymlinkNamedBeforeTheLinkItPassesThrough",
                       [] {
                           return TestArchive()
                               .folder("X.app")
                               .symlink("X.app/out", "up/../../outside")
                               .symlink("X.app/up", "..");
                       },
                       UpdateErrorCase::unsafeArchiveEntry},
        ExtractionCase{"SymlinksInALoop",
                       [] {
                           return TestArchive::bundle("X.app", "2", "new")
                               .symlink("X.app/a", "b")
                               .symlink("X.app/b", "a");
                       },
                       UpdateErrorCase::unsafeArchiveEntry},
        ExtractionCase{"HardlinkThroughASymlinkChain",
                       [] {
                           return TestArchive()
                               .folder("X.app")
                               .symlink("X.app/up", "..")
                               .symlink("X.app/up2", "up/..")
                               .symlink("X.app/up3", "up2/..")
                               .hardlink("X.app/copy", "X.app/up3/update.tar.gz");
                       },
                       UpdateErrorCase::unsafeArchiveEntry},
        ExtractionCase{"AbsoluteSymlink", [] { return TestArchive().symlink("X.app", "/tmp"); },
                       UpdateErrorCase::unsafeArchiveEntry},
        ExtractionCase{"HardlinkLeadingOut",
                       [] { return TestArchive().hardlink("X.app/passwd", "../../outside/anything"); },
                       UpdateErrorCase::unsafeArchiveEntry},
        ExtractionCase{"CharacterDevice",
                       [] { return TestArchive().folder("X.app").special("X.app/null", AE_IFCHR); },
                       UpdateErrorCase::unsafeArchiveEntry},
        ExtractionCase{"BlockDevice",
                       [] { return TestArchive().folder("X.app").special("X.app/disk", AE_IFBLK); },
                       UpdateErrorCase::unsafeArchiveEntry},
        ExtractionCase{"NamedPipe", [] { return TestArchive().folder("X.app").special("X.app/pipe", AE_IFIFO); },
                       UpdateErrorCase::unsafeArchiveEntry},
        ExtractionCase{"EmptyArchive", [] { return TestArchive(); }, UpdateErrorCase::malformedArchive}),
    [](const testing::TestParamInfo<ExtractionCase>& info) { return std::string(info.param.name); });

TEST(ArchiveExtractor, RefusesBytesThatAreNoArchive)
{
    QTemporaryDir root;
    writeFile(root.filePath("update.tar.gz"), QByteArray(4096, '\x42'));
    ASSERT_TRUE(QDir(root.path()).mkdir("staging"));
    EXPECT_THROW(veldran::extractArchive(root.filePath("update.tar.gz"), root.filePath("staging")),
                 veldran::UpdateError);
    EXPECT_TRUE(QDir(root.filePath("staging")).isEmpty());
}

TEST(ArchiveExtractor, WritesTheBundleWithItsContent)
{
    QTemporaryDir root;
    writeFile(root.filePath("update.tar.gz"),
              TestArchive::bundle("X.app", "2", "new").symlink("X.app/bin/current", "tilvane").bytes());
    ASSERT_TRUE(QDir(root.path()).mkdir("staging"));
    veldran::extractArchive(root.filePath("update.tar.gz"), root.filePath("staging"));
    EXPECT_EQ(readFile(root.filePath("staging/X.app/bin/tilvane")), "new");
    EXPECT_EQ(readFile(root.filePath("staging/X.app/bin/current")), "new");
    EXPECT_TRUE(QFileInfo(root.filePath("staging/X.app/bin/tilvane")).isExecutable());
}

// A folder its owner may not write into could not be emptied again, and the staging folder (or,
// after an install, the replaced bundle) would stay on disk.
TEST(ArchiveExtractor, KeepsExtractedFoldersWritableByTheirOwner)
{
    QTemporaryDir root;
    writeFile(root.filePath("update.tar.gz"), TestArchive()
                                                  .folder("X.app", 0555)
                                                  .folder("X.app/locked", 0)
                                                  .file("X.app/locked/data", "data")
                                                  .bytes());
    ASSERT_TRUE(QDir(root.path()).mkdir("staging"));
    veldran::extractArchive(root.filePath("update.tar.gz"), root.filePath("staging"));
    for (const char* folder : {"staging/X.app", "staging/X.app/locked"}) {
        const QFile::Permissions permissions = QFileInfo(root.filePath(folder)).permissions();
        EXPECT_TRUE(permissions.testFlags(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) << folder;
    }
    EXPECT_TRUE(QFileInfo(root.filePath("staging/X.app")).permissions().testFlag(QFile::ExeOther))
        << "the archive's other bits are kept";
    EXPECT_TRUE(QDir(root.filePath("staging")).removeRecursively());
}

}  // namespace
