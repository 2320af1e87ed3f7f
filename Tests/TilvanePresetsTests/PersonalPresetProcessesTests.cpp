// Changes of several processes that share one presets file: a launch that took over from a stopped instance, or two
// instances with runtime folders of their own.

#include "TilvanePresets/PersonalPresetStore.hpp"

#include "TilvanePresets/PersonalPresetTransfer.hpp"

#include "TestSupport.hpp"
#include "TestSupport/ForkedProcesses.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tilvane {
namespace {

using namespace testing;

std::multiset<std::string> namesOf(const std::vector<PersonalPreset>& presets)
{
    std::multiset<std::string> names;
    for (const auto& preset : presets) names.insert(preset.name);
    return names;
}

TEST(PersonalPresetStoreProcesses, ChangesReleasedTogetherKeepEveryPresetThatAnyOfThemAdded)
{
    constexpr int rounds = 40, basePresets = 150;
    TemporaryFolder folder;
    const PersonalPresetStore store(folder / "personal-presets.json");
    // Many full looks, so that reading and writing the file take a while.
    std::vector<PersonalPreset> base;
    for (int index = 0; index < basePresets; ++index) {
        base.push_back(makePreset("Base " + std::to_string(index), fullSettings()));
    }
    store.save(base);
    std::multiset<std::string> expected = namesOf(base);

    for (int round = 0; round < rounds; ++round) {
        const std::string tag = ' ' + std::to_string(round);
        const auto disposable = makePreset("Descartável" + tag);
        store.update(addingFirst(disposable));
        const auto first = makePreset("Primeiro" + tag, fullSettings()), second = makePreset("Segundo" + tag);
        const auto document = PersonalPresetTransfer::encode(makePreset("Importado" + tag));
        const std::pair<const char*, std::function<void()>> changes[] = {
            {"update", [&] { store.update(addingFirst(first)); }},
            {"another update", [&] { store.update(addingFirst(second)); }},
            {"importPreset", [&] { store.importPreset(document); }},
            {"remove", [&] { store.remove(disposable.id); }},
        };
        std::vector<std::function<void()>> works;
        for (const auto& change : changes) works.push_back(change.second);
        const auto returned = runTogether(works);
        for (std::size_t index = 0; index < works.size(); ++index) {
            EXPECT_TRUE(returned[index]) << changes[index].first << " of round " << round << " failed";
        }
        // The importing child drew its preset's identity from its copy of this process's generator: the next
        // identity here would repeat it.
        Uuid::random();
        expected.insert({first.name, second.name, "Importado" + tag});
        ASSERT_EQ(namesOf(store.load()), expected) << "after round " << round;
    }
}

// Two instances show the same card and both delete it: the one that comes second finds the preset missing, writes
// nothing, and reading the file again gives the list the first one left.
TEST(PersonalPresetStoreProcesses, DeletingWhatAnotherProcessDeletedFirstIsMissingAndWritesNothing)
{
    TemporaryFolder folder;
    const PersonalPresetStore store(folder / "personal-presets.json");
    const std::vector stored{makePreset("Retro"), makePreset("Âmbar", fullSettings()), makePreset("Noite")};
    store.save(stored);

    ASSERT_EQ(runTogether({[&] { store.remove(stored[1].id); }}), std::vector{true});
    const auto leftByTheOther = readBytes(store.fileURL());
    EXPECT_EQ(errorCaseOf<PersonalPresetError>([&] { store.remove(stored[1].id); }),
              PersonalPresetErrorCase::missingPreset);
    EXPECT_EQ(readBytes(store.fileURL()), leftByTheOther);
    EXPECT_EQ(store.load(), (std::vector{stored[0], stored[2]}));
}

}  // namespace
}  // namespace tilvane
