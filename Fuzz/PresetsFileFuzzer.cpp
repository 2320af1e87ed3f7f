// The personal-presets file as the store finds it on disk; what loads must save and load again unchanged.

#include "FuzzSupport.hpp"

#include "TilvaneCore/JsonCoding.hpp"

#include "TilvanePresets/PersonalPresetStore.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tilvane;
    const PersonalPresetStore store(fuzz::writeInput("personal-presets.json", fuzz::bytesOf(data, size)));
    std::vector<PersonalPreset> presets;
    try {
        presets = store.load();
    } catch (const PersonalPresetError&) {
        return 0;
    }
    try {
        store.save(presets);
    } catch (const json::EncodingError&) {
        return 0;  // a float too large for JSON, read from a huge literal, is refused when writing
    }
    fuzz::require(store.load() == presets, "a loaded list did not survive saving");
    return 0;
}
