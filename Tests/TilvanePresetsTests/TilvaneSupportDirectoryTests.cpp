#include "TilvanePresets/TilvaneSupportDirectory.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <array>

namespace tilvane {
namespace {

using testing::ScopedEnvironment;

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
        {none, none, none, none},
    };
    for (const auto& [supportFolder, dataFolder, homeFolder, expected] : rows) {
        ScopedEnvironment support("TILVANE_SUPPORT_DIRECTORY", supportFolder), dataHome("XDG_DATA_HOME", dataFolder),
            home("HOME", homeFolder);
        try {
            EXPECT_EQ(TilvaneSupportDirectory::url(), expected.value_or("<no folder>"));
        } catch (const SupportDirectoryError& error) {
            EXPECT_FALSE(expected) << *expected;
            EXPECT_STREQ(error.what(), "Não foi possível encontrar a pasta de suporte do Tilvane. Defina "
                                       "TILVANE_SUPPORT_DIRECTORY, XDG_DATA_HOME ou HOME com um caminho absoluto.");
        }
    }
}

}  // namespace
}  // namespace tilvane
