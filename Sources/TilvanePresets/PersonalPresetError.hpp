#pragma once

#include "TilvaneCore/EnumeratedError.hpp"

namespace tilvane {

// Refusals of visual settings, personal presets, their file and the single-preset document.
enum class PersonalPresetErrorCase {
    unsupportedVersion,
    invalidData,
    missingPreset,
};
const char* message(PersonalPresetErrorCase errorCase) noexcept;
using PersonalPresetError = EnumeratedError<PersonalPresetErrorCase>;

}  // namespace tilvane
