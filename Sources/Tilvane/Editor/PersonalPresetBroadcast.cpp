#include "Tilvane/Editor/PersonalPresetBroadcast.hpp"

namespace tilvane {

PersonalPresetBroadcast& PersonalPresetBroadcast::shared()
{
    static PersonalPresetBroadcast broadcast;
    return broadcast;
}

void PersonalPresetBroadcast::publish(const std::string& file, const std::vector<PersonalPreset>& presets)
{
    emit listWritten(file, presets);
}

}  // namespace tilvane
