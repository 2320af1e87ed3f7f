#include "TilvanePresets/TilvaneSupportDirectory.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

namespace tilvane {
namespace {

using testing::ScopedEnvironment;
using Variable = std::optional<std::string>;

TEST(TilvaneSupportDirectory, FollowsTheVariablesInOrder)
{
    const auto none = std::nullopt;
    const struct {
        const char* name;
        Variable support, dataHome, home, expected;  // expected nothing: no folder can be found
    } rows[] = {
        {"absolute", "/tmp/x", "/data", "/home/ana", "/tmp/x"},
        {"trailingSlash", "/tmp/x/", "/data", "/home/ana", "/tmp/x"},
        {"keptAsWritten", "/tmp/../x/./~", none, "/home/ana", "/tmp/../x/./~"},
        {"relativeIgnored", "tmp/x", "/data", "/home/ana", "/data/Tilvane"},
        {"emptyIgnored", "", "/data/", "/home/ana", "/data/Tilvane"},
        {"relativeDataHomeIgnored", "~/x", "data", "/home/ana", "/home/ana/.local/share/Tilvane"},
        {"homeFallback", none, none, "/home/ana", "/home/ana/.local/share/Tilvane"},
        {"nothingAbsolute", "tmp/x", "data", "ana", none},
        {"nothingSet", none, none, none, none},
    };
    for (const auto& row : rows) {
        ScopedEnvironment support("TILVANE_SUPPORT_DIRECTORY", row.support), dataHome("XDG_DATA_HOME", row.dataHome),
            home("HOME", row.home);
        try {
            EXPECT_EQ(TilvaneSupportDirectory::url(), row.expected.value_or("<no folder>")) << row.name;
        } catch (const SupportDirectoryError& error) {
            EXPECT_FALSE(row.expected) << row.name;
            EXPECT_STREQ(error.what(), "Não foi possível encontrar a pasta de suporte do Tilvane. Defina "
                                       "TILVANE_SUPPORT_DIRECTORY, XDG_DATA_HOME ou HOME com um caminho absoluto.");
        }
    }
}

TEST(TilvaneSupportDirectory, RereadsTheVariableOnEveryCallAndCreatesNothing)
{
    testing::TemporaryFolder folder;
    ScopedEnvironment support("TILVANE_SUPPORT_DIRECTORY", "/tmp/first");
    EXPECT_EQ(TilvaneSupportDirectory::url(), std::filesystem::path("/tmp/first"));
    support.set((folder.path() / "a").string());
    EXPECT_EQ(TilvaneSupportDirectory::url(), folder.path() / "a");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "a"));
}

}  // namespace
}  // namespace tilvane
