#pragma once

#include "TilvanePresets/PersonalPreset.hpp"
#include "TilvanePresets/StoreLocation.hpp"

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace tilvane {

// The user's personal presets in one versioned JSON file. Keeps no state but the file's location:
// every operation reads or writes the file anew, and the lists it returns are what is on disk.
// Writes of every process sharing the file take turns (StoreLock on ".personal-presets.json.lock"
// beside it), and a change reads the list it changes within its turn, so no write loses another's.
//
// Errors: PersonalPresetError for refused data; std::system_error for a folder or file that cannot
// be written; json::EncodingError for a float that cannot be written; SupportDirectoryError when
// the store was created without a file and no support folder could be found.
class PersonalPresetStore {
public:
    static constexpr std::string_view defaultFileName = "personal-presets.json";

    // With no file, "personal-presets.json" in the support folder as it is now. Reads nothing.
    explicit PersonalPresetStore(std::optional<std::filesystem::path> fileURL = std::nullopt);

    // The file; empty when no support folder could be found.
    const std::filesystem::path& fileURL() const { return location_.fileURL(); }

    // The stored list in file order, empty when there is no file or an empty one. A file that cannot be read or
    // decoded, repeats an id, holds a blank name or an invalid look gives invalidData; another
    // version gives unsupportedVersion (looked at once the whole file has decoded). The file is
    // never changed by loading.
    std::vector<PersonalPreset> load() const;

    // Replaces the stored list, in the given order. Refuses (invalidData, writing nothing) what
    // load() would refuse: an invalid look, a blank or non-UTF-8 name, a repeated id.
    void save(const std::vector<PersonalPreset>& presets) const;

    using Change = std::function<std::vector<PersonalPreset>(std::vector<PersonalPreset>)>;

    // In one turn: loads the stored list, hands it to `change`, saves the list that it returns and
    // returns that list. What load() or save() refuse, and whatever `change` throws, reaches the
    // caller and writes nothing. `change` must not use a store of the same file (its turn waits).
    std::vector<PersonalPreset> update(const Change& change) const;

    // Deletes the preset with this id (missingPreset when there is none) and returns the rest. Without a file it
    // makes nothing: no folder, no lock file.
    std::vector<PersonalPreset> remove(const Uuid& id) const;

    // Puts the preset of a single-preset document first, renamed "<name> (n)" with the smallest
    // n from 2 whose lower-case form no stored name has when its own name clashes, and returns
    // the new list. A document it refuses makes nothing, even where there is no file yet.
    std::vector<PersonalPreset> importPreset(std::string_view data) const;

private:
    StoreLocation location_;
};

}  // namespace tilvane
