#pragma once

#include "Tilvane/Editor/PresetSelection.hpp"
#include "TilvanePresets/PersonalPreset.hpp"
#include "TilvanePresets/VisualSettings.hpp"
#include "TilvaneShaders/Model/ShaderPreset.hpp"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tilvane {

// How the editor names, finds and guards the look it shows.

inline constexpr std::string_view personalSelectionPrefix = "personal:";

// "personal:" followed by the id in upper case.
std::string personalSelectionID(const Uuid& id);

// The personal preset id that a selection names; nothing for no selection, another prefix or a
// rest that is not a UUID.
std::optional<Uuid> personalPresetID(const PresetSelection& selection);

// The first preset of the list with the selection's personal id.
std::optional<PersonalPreset> selectedPersonalPreset(const std::vector<PersonalPreset>& presets,
                                                     const PresetSelection& selection);

// Whether the look differs from the one stored in the selected personal preset.
bool hasUnsavedChanges(const std::optional<PersonalPreset>& selected, const VisualSettings& visual);

// The preset a shader is compared with and restored to: the personal preset's stored shader under
// its name and selection id, else the built-in preset with exactly the selected id.
std::optional<ShaderPreset> comparedShaderPreset(const PresetSelection& selection,
                                                 const std::optional<PersonalPreset>& personal,
                                                 const std::vector<ShaderPreset>& builtIn);

// Whether the shader is "ajustado": for a personal preset, any difference from its stored shader;
// for a built-in one, other passes or bezel, or motion on. Never without both a shader and a preset.
bool isShaderAdjusted(const std::optional<ShaderConfiguration>& shader, const std::optional<ShaderPreset>& compared,
                      const std::optional<PersonalPreset>& personal);

// The look after choosing `selection`: a personal preset's whole look; for a built-in preset its
// passes and bezel with motion off, the rest kept; otherwise the same look without a shader.
VisualSettings visualForSelection(const PresetSelection& selection, VisualSettings visual,
                                  const std::vector<PersonalPreset>& presets, const std::vector<ShaderPreset>& builtIn);

// What a new selection from the gallery does: nothing when it is the current one, ask first when
// the selected personal preset has unsaved edits, else apply it.
enum class SelectionStep { keep, askAboutUnsavedChanges, apply };
SelectionStep gallerySelectionStep(const PresetSelection& current, const PresetSelection& requested,
                                   bool unsavedChanges);

// What removing the shader from the shader inspector does.
SelectionStep shaderRemovalStep(const PresetSelection& current, bool unsavedChanges);

// The preset name as stored: without white space and line breaks at either end; nothing when that
// leaves it empty.
std::optional<std::string> acceptedPresetName(std::string_view typed);

// A preset's name as windows draw it: whole up to shownPresetNameLength user-perceived characters, a longer one
// elided in the middle, so that no alert, sheet, card or panel grows with it past the screen. Tooltips, accessible
// names and the file keep it whole.
inline constexpr std::size_t shownPresetNameLength = 48;
std::string shownPresetName(std::string_view name);

// Changes applied to a list as it was just read from the presets file, so that a list another
// window wrote in the meantime is kept. Nothing when the preset is no longer in the list.
std::vector<PersonalPreset> withPresetFirst(std::vector<PersonalPreset> presets, PersonalPreset preset);
std::optional<std::vector<PersonalPreset>> withPresetVisual(std::vector<PersonalPreset> presets, const Uuid& id,
                                                            const VisualSettings& visual);
std::optional<std::vector<PersonalPreset>> withPresetName(std::vector<PersonalPreset> presets, const Uuid& id,
                                                          const std::string& name);

}  // namespace tilvane
