// The single-preset document a user imports; what decodes must encode and decode again to the same look.

#include "FuzzSupport.hpp"

#include "TilvanePresets/PersonalPresetTransfer.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tilvane;
    PersonalPreset preset;
    try {
        preset = PersonalPresetTransfer::decode(fuzz::bytesOf(data, size));
    } catch (const PersonalPresetError&) {
        return 0;
    } catch (const UnknownEffectError&) {
        return 0;
    }
    const PersonalPreset again = PersonalPresetTransfer::decode(PersonalPresetTransfer::encode(preset));
    fuzz::require(again.name == preset.name && again.visual == preset.visual,
                  "a decoded preset did not survive encoding");
    return 0;
}
