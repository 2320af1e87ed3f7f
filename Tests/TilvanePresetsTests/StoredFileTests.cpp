#include "TilvanePresets/StoredFile.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

namespace tilvane {
namespace {

using namespace testing;

TEST(StoredFile, EveryFailedWriteKeepsTheOldBytesAndLeavesNoTemporaryFile)
{
    TemporaryFolder folder;
    const auto target = folder.path() / "file.json", occupied = folder.path() / "occupied";
    writeBytes(target, R"({"version":1,"presets":[]})");
    std::filesystem::create_directories(occupied / "child");
    const auto before = folderContents(folder.path());
    // The target, the bytes written while no file may grow past 1024 bytes, the failure expected.
    const std::tuple<std::filesystem::path, std::string, std::errc, std::string> failures[] = {
        {target, std::string(4096, 'x'), std::errc::file_too_large, "Não foi possível gravar o arquivo “" + target.string() + "”"},
        {target / "inner.json", "new", std::errc::not_a_directory, "Não foi possível criar a pasta"},
        {occupied, "new", std::errc::is_a_directory, "Não foi possível substituir o arquivo “" + occupied.string() + "”"},
    };
    for (const auto& [path, bytes, code, message] : failures) {
        try {
            FileSizeLimit limit(1024);
            storedfile::writeAtomically(path, bytes);
            ADD_FAILURE() << "wrote " << path;
        } catch (const std::system_error& error) {
            EXPECT_EQ(error.code(), code) << error.what();
            EXPECT_TRUE(std::string(error.what()).starts_with(message)) << error.what();
        }
    }
    EXPECT_THROW(storedfile::removeIfPresent(occupied), std::system_error);
    EXPECT_THROW((void)storedfile::readIfPresent(folder.path()), std::system_error);
    EXPECT_EQ(folderContents(folder.path()), before);
}

}  // namespace
}  // namespace tilvane
