#include "Tilvane/Editor/PersonalPresetRules.hpp"

#include "TilvanePresets/UnicodeText.hpp"

#include <algorithm>

namespace tilvane {
namespace {

PersonalPreset* findPreset(std::vector<PersonalPreset>& presets, const Uuid& id)
{
    const auto found =
        std::find_if(presets.begin(), presets.end(), [&](const auto& preset) { return preset.id == id; });
    return found == presets.end() ? nullptr : &*found;
}

const ShaderPreset* findBuiltIn(const std::vector<ShaderPreset>& builtIn, const PresetSelection& selection)
{
    if (!selection) return nullptr;
    const auto found = std::find_if(builtIn.begin(), builtIn.end(),
                                    [&](const ShaderPreset& candidate) { return candidate.id == *selection; });
    return found == builtIn.end() ? nullptr : &*found;
}

}  // namespace

std::string personalSelectionID(const Uuid& id)
{
    return std::string(personalSelectionPrefix) + id.string();
}

std::optional<Uuid> personalPresetID(const PresetSelection& selection)
{
    if (!selection || !selection->starts_with(personalSelectionPrefix)) return std::nullopt;
    return Uuid::parse(std::string_view(*selection).substr(personalSelectionPrefix.size()));
}

std::optional<PersonalPreset> selectedPersonalPreset(const std::vector<PersonalPreset>& presets,
                                                     const PresetSelection& selection)
{
    const auto id = personalPresetID(selection);
    if (!id) return std::nullopt;
    const auto found =
        std::find_if(presets.begin(), presets.end(), [&](const auto& preset) { return preset.id == *id; });
    if (found == presets.end()) return std::nullopt;
    return *found;
}

bool hasUnsavedChanges(const std::optional<PersonalPreset>& selected, const VisualSettings& visual)
{
    return selected && !(selected->visual == visual);
}

std::optional<ShaderPreset> comparedShaderPreset(const PresetSelection& selection,
                                                 const std::optional<PersonalPreset>& personal,
                                                 const std::vector<ShaderPreset>& builtIn)
{
    if (personal && personal->visual.shader) {
        const ShaderConfiguration& stored = *personal->visual.shader;
        return ShaderPreset{personalSelectionID(personal->id), personal->name, stored.passes, stored.bezel};
    }
    const ShaderPreset* found = findBuiltIn(builtIn, selection);
    if (found == nullptr) return std::nullopt;
    return *found;
}

bool isShaderAdjusted(const std::optional<ShaderConfiguration>& shader, const std::optional<ShaderPreset>& compared,
                      const std::optional<PersonalPreset>& personal)
{
    if (!shader || !compared) return false;
    if (personal) return !personal->visual.shader || *personal->visual.shader != *shader;
    return shader->motion || shader->passes != compared->passes || shader->bezel != compared->bezel;
}

VisualSettings visualForSelection(const PresetSelection& selection, VisualSettings visual,
                                  const std::vector<PersonalPreset>& presets, const std::vector<ShaderPreset>& builtIn)
{
    if (const auto personal = selectedPersonalPreset(presets, selection)) return personal->visual;
    if (const ShaderPreset* preset = findBuiltIn(builtIn, selection)) {
        visual.shader = ShaderConfiguration::fromPreset(*preset);
    } else {
        visual.shader.reset();
    }
    return visual;
}

SelectionStep gallerySelectionStep(const PresetSelection& current, const PresetSelection& requested,
                                   bool unsavedChanges)
{
    if (requested == current) return SelectionStep::keep;
    return unsavedChanges ? SelectionStep::askAboutUnsavedChanges : SelectionStep::apply;
}

SelectionStep shaderRemovalStep(const PresetSelection& current, bool unsavedChanges)
{
    if (!current) return SelectionStep::keep;
    return unsavedChanges ? SelectionStep::askAboutUnsavedChanges : SelectionStep::apply;
}

std::optional<std::string> acceptedPresetName(std::string_view typed)
{
    std::string name = text::trimmingWhitespace(typed);
    if (name.empty()) return std::nullopt;
    return name;
}

std::string shownPresetName(std::string_view name)
{
    return text::elidedInTheMiddle(name, shownPresetNameLength);
}

std::vector<PersonalPreset> withPresetFirst(std::vector<PersonalPreset> presets, PersonalPreset preset)
{
    presets.insert(presets.begin(), std::move(preset));
    return presets;
}

std::optional<std::vector<PersonalPreset>> withPresetVisual(std::vector<PersonalPreset> presets, const Uuid& id,
                                                            const VisualSettings& visual)
{
    auto* preset = findPreset(presets, id);
    if (preset == nullptr) return std::nullopt;
    preset->visual = visual;
    return presets;
}

std::optional<std::vector<PersonalPreset>> withPresetName(std::vector<PersonalPreset> presets, const Uuid& id,
                                                          const std::string& name)
{
    auto* preset = findPreset(presets, id);
    if (preset == nullptr) return std::nullopt;
    preset->name = name;
    return presets;
}

}  // namespace tilvane
