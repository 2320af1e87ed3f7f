// Where the support folder is, and how the files in it are replaced.

#include "TilvanePresets/StoredFile.hpp"
#include "TilvanePresets/TilvaneSupportDirectory.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <array>

namespace tilvane {
namespace {

using namespace testing;

TEST(TilvaneSupportDirectory, FollowsTheVariablesInOrder)
{
    const std::optional<std::string> none;
    // The support variable, XDG_DATA_HOME, HOME and the folder found (nothing: none can be).
    const std::array<std::optional<std::string>, 4> rows[] = {
        {"/tmp/x", "/data", "/home/ana", "/tmp/x"},
        {"/tmp/x/", "/data", "/home/ana", "/tmp/x"},
        {"/tmp/../x/./~", none, "/home/ana", "/tmp/../x/./~"},
        {"tmp/x", "/data", "/home/ana", "/data/Tilvane"},
        {"", "/data/", "/home/ana", "/data/Tilvane"},
        {"~/x", "data", "/home/ana", "/home/ana/.local/share/Tilvane"},
        {none, none, "/home/ana", "/home/ana/.local/share/Tilvane"},
        {"tmp/x", "data", "ana", none},
    };
    for (const auto& [supportFolder, dataFolder, homeFolder, expected] : rows) {
        ScopedEnvironment support("TILVANE_SUPPORT_DIRECTORY", supportFolder), dataHome("XDG_DATA_HOME", dataFolder),
            home("HOME", homeFolder);
        if (expected) {
            EXPECT_EQ(TilvaneSupportDirectory::url(), *expected);
        } else {
            EXPECT_THROW((void)TilvaneSupportDirectory::url(), SupportDirectoryError);
        }
    }
    EXPECT_STREQ(SupportDirectoryError(SupportDirectoryErrorCase::unavailable).what(),
                 "Não foi possível encontrar a pasta de suporte do Tilvane. Defina TILVANE_SUPPORT_DIRECTORY, "
                 "XDG_DATA_HOME ou HOME com um caminho absoluto.");
}

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
