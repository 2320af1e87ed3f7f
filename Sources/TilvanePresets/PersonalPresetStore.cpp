#include "TilvanePresets/PersonalPresetStore.hpp"

#include "TilvanePresets/PersonalPresetTransfer.hpp"
#include "TilvanePresets/StoreLock.hpp"
#include "TilvanePresets/StoredFile.hpp"
#include "TilvanePresets/UnicodeText.hpp"
#include "TilvanePresets/VersionedFile.hpp"

#include <algorithm>
#include <unordered_set>

namespace tilvane {
namespace {

constexpr std::string_view contentKey = "presets";

[[noreturn]] void refuse(PersonalPresetErrorCase errorCase)
{
    throw PersonalPresetError(errorCase);
}

std::vector<PersonalPreset> presetsFromJson(const nlohmann::json& array)
{
    std::vector<PersonalPreset> presets;
    for (const auto& element : json::requireArray(array, "presets"))
        presets.push_back(PersonalPreset::fromJson(element));
    return presets;
}

// Everything that load() refuses once the file has decoded: repeated ids, blank names, invalid looks.
void validatePresets(const std::vector<PersonalPreset>& presets)
{
    std::unordered_set<Uuid> ids;
    for (const auto& preset : presets) {
        if (!ids.insert(preset.id).second) refuse(PersonalPresetErrorCase::invalidData);
    }
    for (const auto& preset : presets) {
        if (text::trimmingWhitespace(preset.name).empty()) refuse(PersonalPresetErrorCase::invalidData);
        preset.visual.validate();
    }
}

// The file's document for `presets`, refusing (invalidData) what load() would refuse.
std::string encodedDocument(const std::vector<PersonalPreset>& presets)
{
    validatePresets(presets);
    if (!std::all_of(presets.begin(), presets.end(),
                     [](const auto& preset) { return text::isValidUtf8(preset.name); })) {
        refuse(PersonalPresetErrorCase::invalidData);
    }
    nlohmann::json array = nlohmann::json::array();
    for (const auto& preset : presets) array.push_back(toJson(preset));
    return versionedfile::encode(contentKey, std::move(array));
}

std::string uniqueImportedName(const std::string& name, const std::vector<PersonalPreset>& stored)
{
    std::unordered_set<std::string> taken;
    for (const auto& preset : stored) taken.insert(text::lowercasedForUserLocale(preset.name));
    if (!taken.contains(text::lowercasedForUserLocale(name))) return name;
    for (std::size_t counter = 2;; ++counter) {
        std::string candidate = name + " (" + std::to_string(counter) + ")";
        if (!taken.contains(text::lowercasedForUserLocale(candidate))) return candidate;
    }
}

}  // namespace

PersonalPresetStore::PersonalPresetStore(std::optional<std::filesystem::path> fileURL)
    : location_(std::move(fileURL), defaultFileName)
{
}

std::vector<PersonalPreset> PersonalPresetStore::load() const
{
    // An empty file, as another program or a full disk may leave it, held no preset: the next change replaces it.
    auto presets = versionedfile::read(location_.requireFileURL(), contentKey, PersonalPresetErrorCase::invalidData,
                                       PersonalPresetErrorCase::unsupportedVersion, presetsFromJson,
                                       versionedfile::EmptyFile::holdsNothing);
    if (!presets) return {};
    validatePresets(*presets);
    return std::move(*presets);
}

void PersonalPresetStore::save(const std::vector<PersonalPreset>& presets) const
{
    const auto& file = location_.requireFileURL();
    const std::string document = encodedDocument(presets);
    storedfile::createFolder(file.parent_path());
    const StoreLock lock(file);
    storedfile::writeAtomically(file, document);
}

std::vector<PersonalPreset> PersonalPresetStore::update(const Change& change) const
{
    const auto& file = location_.requireFileURL();
    storedfile::createFolder(file.parent_path());
    const StoreLock lock(file);
    auto presets = change(load());
    storedfile::writeAtomically(file, encodedDocument(presets));
    return presets;
}

std::vector<PersonalPreset> PersonalPresetStore::remove(const Uuid& id) const
{
    // No file holds no preset: refused before a folder or a lock file is made for it.
    if (!storedfile::isPresent(location_.requireFileURL())) refuse(PersonalPresetErrorCase::missingPreset);
    return update([&](std::vector<PersonalPreset> presets) {
        const auto removed =
            std::remove_if(presets.begin(), presets.end(), [&](const auto& preset) { return preset.id == id; });
        if (removed == presets.end()) refuse(PersonalPresetErrorCase::missingPreset);
        presets.erase(removed, presets.end());
        return presets;
    });
}

std::vector<PersonalPreset> PersonalPresetStore::importPreset(std::string_view data) const
{
    PersonalPreset imported = PersonalPresetTransfer::decode(data);
    return update([&](std::vector<PersonalPreset> presets) {
        imported.name = uniqueImportedName(imported.name, presets);
        presets.insert(presets.begin(), std::move(imported));
        return presets;
    });
}

}  // namespace tilvane
