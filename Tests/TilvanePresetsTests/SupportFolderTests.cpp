// Where the support folder is, and how the files in it are replaced.

#include "TilvanePresets/StoredFile.hpp"
#include "TilvanePresets/TilvaneSupportDirectory.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <array>
#include <chrono>
#include <ctime>

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
        {target, std::string(4096, 'x'), std::errc::file_too_large,
         "Não foi possível gravar o arquivo “" + target.string() + "”"},
        {target / "inner.json", "new", std::errc::not_a_directory, "Não foi possível criar a pasta"},
        {occupied, "new", std::errc::is_a_directory,
         "Não foi possível substituir o arquivo “" + occupied.string() + "”"},
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
    EXPECT_THROW((void)storedfile::readIfPresent(folder.path(), 1024), std::system_error);
    EXPECT_EQ(folderContents(folder.path()), before);
}

TEST(StoredFile, AFileIsKeptAsideUnderTheFirstFreeNameAndAVanishedOneIsNothingToKeep)
{
    TemporaryFolder folder;
    const auto file = folder / "last-session.json";
    EXPECT_EQ(storedfile::keptName(file, "unreadable", 1), folder / "last-session.unreadable.json");
    EXPECT_EQ(storedfile::keptName(file, "unreadable", 3), folder / "last-session.unreadable-3.json");
    EXPECT_EQ(storedfile::keptName(folder / "session", "old", 2), folder / "session.old-2");

    for (const std::string bytes : {"first", "second", "third"}) {
        writeBytes(file, bytes);
        EXPECT_TRUE(storedfile::keepAside(file, "unreadable"));
    }
    EXPECT_EQ(folderContents(folder.path()), (std::map<std::string, std::string>{
                                                 {"last-session.unreadable.json", "first"},
                                                 {"last-session.unreadable-2.json", "second"},
                                                 {"last-session.unreadable-3.json", "third"},
                                             }));

    // Moved away by another process between the read and the keeping.
    const auto before = folderContents(folder.path());
    EXPECT_EQ(storedfile::keepAside(file, "unreadable"), std::nullopt);
    EXPECT_EQ(folderContents(folder.path()), before);
}

// Sets the modification time of `path` (not of what a link points to) `age` in the past.
void makeOlder(const std::filesystem::path& path, std::chrono::seconds age)
{
    const timespec then{std::time(nullptr) - age.count(), 0};
    const timespec times[2] = {then, then};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

TEST(StoredFile, ASuccessfulWriteRemovesOnlyItsOwnStaleTemporaries)
{
    TemporaryFolder folder;
    const auto target = folder.path() / "personal-presets.json";
    const auto elsewhere = folder.path() / "elsewhere";
    std::filesystem::create_directory(elsewhere);
    writeBytes(elsewhere / "kept.json", "kept");
    const auto old = std::chrono::seconds(120);

    // Name, what it is, its age, whether a write of the target removes it.
    enum class Kind { file, folder, link };
    const std::tuple<std::string, Kind, std::chrono::seconds, bool> rows[] = {
        {storedfile::temporaryNameFor(target), Kind::file, old, true},
        {storedfile::temporaryNameFor(target), Kind::file, old, true},
        {storedfile::temporaryNameFor(target), Kind::file, std::chrono::seconds(0), false},  // a write in progress
        {storedfile::temporaryNameFor(target), Kind::folder, old, false},
        {storedfile::temporaryNameFor(target), Kind::link, old, false},
        {storedfile::temporaryNameFor(folder.path() / "last-session.json"), Kind::file, old, false},
        {".personal-presets.json.not-a-uuid.tmp", Kind::file, old, false},
        {"personal-presets.json.bak", Kind::file, old, false},
    };
    for (const auto& [name, kind, age, removed] : rows) {
        const auto path = folder.path() / name;
        if (kind == Kind::file) writeBytes(path, std::string(1000, 'x'));
        if (kind == Kind::folder) std::filesystem::create_directory(path);
        if (kind == Kind::link) std::filesystem::create_symlink(elsewhere / "kept.json", path);
        makeOlder(path, age);
    }
    storedfile::writeAtomically(target, "{}");
    EXPECT_EQ(readBytes(target), "{}");
    for (const auto& [name, kind, age, removed] : rows) {
        EXPECT_EQ(std::filesystem::exists(std::filesystem::symlink_status(folder.path() / name)), !removed) << name;
    }
    EXPECT_EQ(readBytes(elsewhere / "kept.json"), "kept");
}

}  // namespace
}  // namespace tilvane
