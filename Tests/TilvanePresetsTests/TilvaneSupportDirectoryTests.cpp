#include "TilvanePresets/TilvaneSupportDirectory.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

namespace tilvane {
namespace {

using testing::ScopedEnvironment;

struct SupportFolderCase {
    const char* name;
    std::optional<std::string> supportVariable;
    std::optional<std::string> dataHome;
    std::optional<std::string> home;
    std::optional<std::string> expected;  // nothing: no folder can be found
};

void PrintTo(const SupportFolderCase& row, std::ostream* out) { *out << row.name; }


class SupportFolderFromEnvironment : public ::testing::TestWithParam<SupportFolderCase> {};

TEST_P(SupportFolderFromEnvironment, FollowsTheVariablesInOrder)
{
    const auto& row = GetParam();
    ScopedEnvironment support("TILVANE_SUPPORT_DIRECTORY", row.supportVariable);
    ScopedEnvironment dataHome("XDG_DATA_HOME", row.dataHome);
    ScopedEnvironment home("HOME", row.home);
    if (row.expected) {
        EXPECT_EQ(TilvaneSupportDirectory::url(), std::filesystem::path(*row.expected));
    } else {
        try {
            (void)TilvaneSupportDirectory::url();
            FAIL() << "a support folder was found without any absolute path";
        } catch (const SupportDirectoryError& error) {
            EXPECT_EQ(error.errorCase(), SupportDirectoryErrorCase::unavailable);
            EXPECT_STREQ(error.what(), "Não foi possível encontrar a pasta de suporte do Tilvane. Defina "
                                       "TILVANE_SUPPORT_DIRECTORY, XDG_DATA_HOME ou HOME com um caminho absoluto.");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Variables, SupportFolderFromEnvironment,
    ::testing::Values(
        SupportFolderCase{"absolute", "/tmp/x", "/data", "/home/ana", "/tmp/x"},
        SupportFolderCase{"trailingSlash", "/tmp/x/", "/data", "/home/ana", "/tmp/x"},
        SupportFolderCase{"keptAsWritten", "/tmp/../x/./y", std::nullopt, "/home/ana", "/tmp/../x/./y"},
        SupportFolderCase{"noTildeExpansion", "/~/x", std::nullopt, "/home/ana", "/~/x"},
        SupportFolderCase{"relativeIgnored", "tmp/x", "/data", "/home/ana", "/data/Tilvane"},
        SupportFolderCase{"emptyIgnored", "", "/data", "/home/ana", "/data/Tilvane"},
        SupportFolderCase{"tildeIgnored", "~/x", std::nullopt, "/home/ana", "/home/ana/.local/share/Tilvane"},
        SupportFolderCase{"unsetUsesDataHome", std::nullopt, "/data/", "/home/ana", "/data/Tilvane"},
        SupportFolderCase{"relativeDataHomeIgnored", std::nullopt, "data", "/home/ana",
                          "/home/ana/.local/share/Tilvane"},
        SupportFolderCase{"homeFallback", std::nullopt, std::nullopt, "/home/ana", "/home/ana/.local/share/Tilvane"},
        SupportFolderCase{"nothingAbsolute", "tmp/x", "data", "ana", std::nullopt},
        SupportFolderCase{"nothingSet", std::nullopt, std::nullopt, std::nullopt, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TilvaneSupportDirectory, RereadsTheEnvironmentOnEveryCall)
{
    ScopedEnvironment support("TILVANE_SUPPORT_DIRECTORY", "/tmp/first");
    EXPECT_EQ(TilvaneSupportDirectory::url(), std::filesystem::path("/tmp/first"));
    support.set("/tmp/second");
    EXPECT_EQ(TilvaneSupportDirectory::url(), std::filesystem::path("/tmp/second"));
}

TEST(TilvaneSupportDirectory, NeverCreatesTheFolder)
{
    testing::TemporaryFolder folder;
    ScopedEnvironment support("TILVANE_SUPPORT_DIRECTORY", (folder.path() / "a" / "b").string());
    EXPECT_EQ(TilvaneSupportDirectory::url(), folder.path() / "a" / "b");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "a"));
}

}  // namespace
}  // namespace tilvane
