#include "TilvanePresets/StoredFile.hpp"

#include "FailingDisk.hpp"
#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <system_error>

namespace tilvane {
namespace {

using testing::entryNames;
using testing::readBytes;
using testing::TemporaryFolder;
using testing::writeBytes;

TEST(StoredFileWrite, CreatesMissingFoldersAndReplacesTheTarget)
{
    TemporaryFolder folder;
    const auto target = folder.path() / "a" / "b" / "file.json";
    storedfile::writeAtomically(target, "first");
    EXPECT_EQ(readBytes(target), "first");
    storedfile::writeAtomically(target, "second, longer");
    EXPECT_EQ(readBytes(target), "second, longer");
    storedfile::writeAtomically(target, "");
    EXPECT_EQ(readBytes(target), "");
    EXPECT_EQ(entryNames(target.parent_path()), std::vector<std::string>{"file.json"});
}

TEST(StoredFileWrite, KeepsBytesThatAreNotText)
{
    TemporaryFolder folder;
    const std::string bytes("\0\xff\x80 zero", 8);
    storedfile::writeAtomically(folder.path() / "binary", bytes);
    EXPECT_EQ(readBytes(folder.path() / "binary"), bytes);
}

// Each way to fail leaves the previous bytes and no temporary file behind.
class StoredFileFailedWrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        target_ = folder_.path() / "store" / "file.json";
        std::filesystem::create_directories(target_.parent_path());
        writeBytes(target_, oldBytes_);
    }

    void expectOldFileKept(const std::filesystem::path& folderToCheck)
    {
        EXPECT_EQ(testing::checksum(readBytes(target_)), testing::checksum(oldBytes_));
        EXPECT_EQ(readBytes(target_), oldBytes_);
        EXPECT_EQ(entryNames(folderToCheck), std::vector<std::string>{"file.json"});
    }

    TemporaryFolder folder_;
    std::filesystem::path target_;
    const std::string oldBytes_ = R"({"version":1,"presets":[]})";
};

// The failure of `write`, which must be a std::system_error with `code` and a message that starts
// with `description` and names `named`.
template <typename Write>
void expectFailure(Write write, std::errc code, const std::string& description, const std::filesystem::path& named)
{
    try {
        write();
        ADD_FAILURE() << "the write succeeded";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), code) << error.what();
        EXPECT_TRUE(std::string(error.what()).starts_with(description + " “" + named.string() + "”")) << error.what();
    }
}

TEST_F(StoredFileFailedWrite, DiskFullKeepsTheOldFile)
{
    const std::string large(4096, 'x');
    {
        testing::FileSizeLimit limit(1024);
        expectFailure([&] { storedfile::writeAtomically(target_, large); }, std::errc::file_too_large,
                      "Não foi possível gravar o arquivo", target_);
    }
    expectOldFileKept(target_.parent_path());
}

TEST_F(StoredFileFailedWrite, ReadOnlyFolderKeepsTheOldFile)
{
    if (!testing::makeReadOnly(target_.parent_path())) {
        GTEST_SKIP() << "this process writes into read-only folders (root); the full-disk case covers the failure";
    }
    try {
        storedfile::writeAtomically(target_, "new");
        ADD_FAILURE() << "wrote into a read-only folder";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::errc::permission_denied);
        EXPECT_TRUE(std::string(error.what()).starts_with("Não foi possível criar o arquivo")) << error.what();
    }
    std::filesystem::permissions(target_.parent_path(), std::filesystem::perms::owner_all);
    expectOldFileKept(target_.parent_path());
}

TEST_F(StoredFileFailedWrite, FolderThatIsAFileFails)
{
    try {
        storedfile::writeAtomically(target_ / "inner.json", "new");
        FAIL() << "writing below a file succeeded";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::errc::not_a_directory);
        EXPECT_NE(std::string(error.what()).find("Não foi possível criar a pasta"), std::string::npos);
    }
    expectOldFileKept(target_.parent_path());
}

TEST_F(StoredFileFailedWrite, TargetThatIsAFolderLeavesNoTemporaryFile)
{
    const auto occupied = target_.parent_path() / "occupied";
    std::filesystem::create_directories(occupied / "child");
    expectFailure([&] { storedfile::writeAtomically(occupied, "new"); }, std::errc::is_a_directory,
                  "Não foi possível substituir o arquivo", occupied);
    EXPECT_TRUE(std::filesystem::is_directory(occupied / "child"));
    EXPECT_EQ(entryNames(target_.parent_path()), (std::vector<std::string>{"file.json", "occupied"}));
}

TEST(StoredFileRead, MissingFileOrFolderIsNothing)
{
    TemporaryFolder folder;
    EXPECT_EQ(storedfile::readIfPresent(folder.path() / "none.json"), std::nullopt);
    EXPECT_EQ(storedfile::readIfPresent(folder.path() / "none" / "none.json"), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "none"));
}

TEST(StoredFileRead, FolderInPlaceOfTheFileFails)
{
    TemporaryFolder folder;
    EXPECT_THROW((void)storedfile::readIfPresent(folder.path()), std::system_error);
}

TEST(StoredFileRemove, RemovesAndToleratesAbsence)
{
    TemporaryFolder folder;
    const auto target = folder.path() / "file.json";
    writeBytes(target, "x");
    storedfile::removeIfPresent(target);
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_NO_THROW(storedfile::removeIfPresent(target));
    EXPECT_NO_THROW(storedfile::removeIfPresent(folder.path() / "none" / "file.json"));
}

TEST(StoredFileRemove, FailureIsReported)
{
    TemporaryFolder folder;
    std::filesystem::create_directories(folder.path() / "folder" / "child");
    EXPECT_THROW(storedfile::removeIfPresent(folder.path() / "folder"), std::system_error);
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "folder" / "child"));
}

}  // namespace
}  // namespace tilvane
