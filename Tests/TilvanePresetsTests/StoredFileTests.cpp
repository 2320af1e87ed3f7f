#include "TilvanePresets/StoredFile.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

namespace tilvane {
namespace {

using namespace testing;

TEST(StoredFile, WriteCreatesMissingFoldersAndReplacesTheTarget)
{
    TemporaryFolder folder;
    const auto target = folder.path() / "a" / "b" / "file.json";
    EXPECT_EQ(storedfile::readIfPresent(target), std::nullopt);
    storedfile::writeAtomically(target, "first, longer");
    const std::string binary("\0\xff\x80 zero", 8);
    storedfile::writeAtomically(target, binary);
    EXPECT_EQ(storedfile::readIfPresent(target), binary);
    EXPECT_EQ(folderContents(target.parent_path()), (std::map<std::string, std::string>{{"file.json", binary}}));
    storedfile::removeIfPresent(target);
    EXPECT_NO_THROW(storedfile::removeIfPresent(target));
    EXPECT_TRUE(folderContents(target.parent_path()).empty());
}

TEST(StoredFile, EveryFailedWriteKeepsTheOldBytesAndLeavesNoTemporaryFile)
{
    TemporaryFolder folder;
    const auto target = folder.path() / "file.json";
    writeBytes(target, R"({"version":1,"presets":[]})");
    std::filesystem::create_directories(folder.path() / "occupied" / "child");
    const auto before = folderContents(folder.path());
    const auto expectFailure = [](auto write, std::errc code, const std::string& message) {
        try {
            write();
            ADD_FAILURE() << "the write succeeded";
        } catch (const std::system_error& error) {
            EXPECT_EQ(error.code(), code) << error.what();
            EXPECT_TRUE(std::string(error.what()).starts_with(message)) << error.what();
        }
    };
    {
        FileSizeLimit limit(1024);
        expectFailure([&] { storedfile::writeAtomically(target, std::string(4096, 'x')); }, std::errc::file_too_large,
                      "Não foi possível gravar o arquivo “" + target.string() + "”");
    }
    expectFailure([&] { storedfile::writeAtomically(target / "inner.json", "new"); }, std::errc::not_a_directory,
                  "Não foi possível criar a pasta");
    expectFailure([&] { storedfile::writeAtomically(folder.path() / "occupied", "new"); }, std::errc::is_a_directory,
                  "Não foi possível substituir o arquivo “" + (folder.path() / "occupied").string() + "”");
    EXPECT_THROW(storedfile::removeIfPresent(folder.path() / "occupied"), std::system_error);
    EXPECT_THROW((void)storedfile::readIfPresent(folder.path()), std::system_error);
    EXPECT_EQ(folderContents(folder.path()), before);
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "occupied" / "child"));
}

}  // namespace
}  // namespace tilvane
