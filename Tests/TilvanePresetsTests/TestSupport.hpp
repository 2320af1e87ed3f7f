#pragma once

// Temporary folders, environment changes, failing disks and sample looks shared by the presets tests.

#include "TilvanePresets/PersonalPreset.hpp"
#include "TilvanePresets/StoreLock.hpp"

#include "TestSupport/AddressSpaceLimit.hpp"
#include "TestSupport/DescriptorLimit.hpp"
#include "TestSupport/FileSizeLimit.hpp"
#include "TestSupport/ScopedEnvironment.hpp"
#include "TestSupport/TemporaryFolder.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace tilvane::testing {

inline std::string readBytes(const std::filesystem::path& path)
{
    return std::string(std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {});
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path) << bytes;
}

// `document` followed by blanks up to exactly `size` bytes.
inline std::string paddedTo(std::string document, std::size_t size)
{
    document.resize(size, ' ');
    return document;
}

// Every file of `folder` with its bytes, and what every other entry is (without opening it): equal before and
// after a refused or failed write when nothing was changed and no temporary file was left.
inline std::map<std::string, std::string> folderContents(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        auto& described = contents[entry.path().filename()];
        if (entry.is_symlink()) {
            described = "<link to " + std::filesystem::read_symlink(entry).string() + ">";
        } else if (entry.is_directory()) {
            described = "<folder>";
        } else if (entry.is_fifo()) {
            described = "<FIFO>";
        } else {
            described = readBytes(entry);
        }
    }
    return contents;
}

// The case of the `Error` that `action` throws, or nothing when it throws none.
template <typename Error, typename Action>
auto errorCaseOf(Action&& action) -> std::optional<decltype(std::declval<Error>().errorCase())>
{
    try {
        action();
        return std::nullopt;
    } catch (const Error& error) {
        return error.errorCase();
    }
}

// The std::system_error that `action` throws, or nothing when it throws none.
template <typename Action>
std::optional<std::system_error> systemErrorOf(Action&& action)
{
    try {
        action();
        return std::nullopt;
    } catch (const std::system_error& error) {
        return error;
    }
}

// A store whose file lies in a fresh temporary folder.
template <typename Store>
class StoreTest : public ::testing::Test {
protected:
    std::filesystem::path file() const { return folder_.path() / Store::defaultFileName; }
    Store store() const { return Store(file()); }
    std::map<std::string, std::string> contents() const { return folderContents(folder_.path()); }

    // Every entry of the folder but the lock file of the store of `storeFile`, which its first write leaves there
    // for good.
    std::map<std::string, std::string> storedContents(const std::filesystem::path& storeFile) const
    {
        auto stored = contents();
        stored.erase(StoreLock::lockFileFor(storeFile).filename());
        return stored;
    }
    std::map<std::string, std::string> storedContents() const { return storedContents(file()); }

    // `action` must fail with `expected` and leave the folder exactly as it was, but for the store's lock file.
    template <typename Case, typename Action>
    void expectRefused(Action action, Case expected)
    {
        const auto before = storedContents();
        EXPECT_EQ(errorCaseOf<EnumeratedError<Case>>(action), expected);
        EXPECT_EQ(storedContents(), before);
    }

    TemporaryFolder folder_;
};

// A valid look on a built-in palette, without shader or custom colours.
inline VisualSettings plainSettings()
{
    return {"gameboy", 8, DitherMode::none, std::nullopt, {}, std::nullopt, {}};
}

// A valid look that uses every field, with floats that have no short binary form.
inline VisualSettings fullSettings()
{
    ShaderConfiguration shader{{}, true, BezelSettings{true, 0.3f, 2.9f, "#A0b1C2", 0.45f}};
    shader.passes.emplace_back("crt", 0.7f, ShaderPass::Settings{{"scanLinesStrength", 0.1f}, {"bloomSpread", 1e-7f}},
                               true);
    shader.passes.emplace_back("realisticPhosphor", 1.0f / 3.0f, ShaderPass::Settings{}, false);
    return VisualSettings{"custom",
                          40,
                          DitherMode::floydSteinberg,
                          shader,
                          ScreenSettings{0.35f, 0.1f, 1.0f},
                          std::vector<RGBColor>{{16, 24, 32}, {255, 243, 176}, {0, 0, 0}},
                          ImageAdjustments{-1.3f, 0.55f, 1.9f}};
}

inline PersonalPreset makePreset(const std::string& name, VisualSettings visual = plainSettings())
{
    return {Uuid::random(), name, std::move(visual)};
}

// A change of a stored list that puts `preset` first.
inline auto addingFirst(PersonalPreset preset)
{
    return [preset = std::move(preset)](std::vector<PersonalPreset> presets) {
        presets.insert(presets.begin(), preset);
        return presets;
    };
}

}  // namespace tilvane::testing
