// Saves of several processes that share one support folder: two instances, or a logout quitting them both.

#include "TilvanePresets/LastSessionStore.hpp"

#include "TestSupport.hpp"
#include "TestSupport/ForkedProcesses.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace tilvane {
namespace {

using namespace testing;

TEST(LastSessionStoreProcesses, SavesReleasedTogetherOverAnotherVersionsFileAllSucceedAndKeepItWhole)
{
    constexpr int rounds = 60, processes = 3;
    TemporaryFolder folder;
    const LastSessionStore store(folder / "last-session.json");
    std::vector<std::string> otherVersionFiles;
    for (int round = 0; round < rounds; ++round) {
        // Large, so that reading it takes a while.
        const LastSession old{Url::file("/tmp/round-" + std::to_string(round) + ".png"), plainSettings(), std::nullopt,
                              2048, 0.5};
        otherVersionFiles.push_back(paddedTo(nlohmann::json{{"version", 2}, {"session", toJson(old)}}.dump(), 1 << 18));
        writeBytes(store.fileURL(), otherVersionFiles.back());

        std::vector<std::function<void()>> saves;
        for (int process = 0; process < processes; ++process) {
            const LastSession session{Url::file("/tmp/process-" + std::to_string(process) + ".png"), fullSettings(),
                                      std::nullopt, 4096, 0.25};
            saves.push_back([&store, session] { store.save(session); });
        }
        for (const bool saved : runTogether(saves)) EXPECT_TRUE(saved) << "a save of round " << round << " failed";
        ASSERT_TRUE(store.load()) << "round " << round << " left no session";
    }

    std::vector<std::string> kept;
    for (const auto& [name, bytes] : folderContents(folder.path())) {
        if (name != "last-session.json" && name != ".last-session.json.lock") kept.push_back(bytes);
    }
    EXPECT_EQ(kept.size(), otherVersionFiles.size()) << "one copy of each round's file, and nothing else";
    for (int round = 0; round < rounds; ++round) {
        EXPECT_EQ(std::count(kept.begin(), kept.end(), otherVersionFiles[round]), 1) << "round " << round;
    }
}

}  // namespace
}  // namespace tilvane
