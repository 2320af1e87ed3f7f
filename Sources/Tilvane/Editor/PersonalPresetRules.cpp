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

}  // namespace

std::string personalSelectionID(const Uuid& id)
{
    return std::string(personalSelectionPrefix) + id.string();
}

std::optional<Uuid> personalPresetID(const std::optional<std::string>& selection)
{
    if (!selection || !selection->starts_with(personalSelectionPrefix)) return std::nullopt;
    return Uuid::parse(std::string_view(*selection).substr(personalSelectionPrefix.size()));
}

std::optional<PersonalPreset> selectedPersonalPreset(const std::vector<PersonalPreset>& presets,
                                                     const std::optional<std::string>& selection)
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

VisualSettings visualForSelection(const std::optional<std::string>& selection, VisualSettings visual,
                                  const std::vector<PersonalPreset>& presets, const std::vector<ShaderPreset>& builtIn)
{
    if (const auto personal = selectedPersonalPreset(presets, selection)) return personal->visual;
    const auto preset = selection
                            ? std::find_if(builtIn.begin(), builtIn.end(),
                                           [&](const ShaderPreset& candidate) { return candidate.id == *selection; })
                            : builtIn.end();
    if (preset != builtIn.end()) {
        visual.shader = ShaderConfiguration::fromPreset(*preset, false);
    } else {
        visual.shader.reset();
    }
    return visual;
}

SelectionStep gallerySelectionStep(const std::optional<std::string>& current,
                                   const std::optional<std::string>& requested, bool unsavedChanges)
{
    if (requested == current) return SelectionStep::keep;
    return unsavedChanges ? SelectionStep::askAboutUnsavedChanges : SelectionStep::apply;
}

SelectionStep shaderRemovalStep(const std::optional<std::string>& current, bool unsavedChanges)
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
