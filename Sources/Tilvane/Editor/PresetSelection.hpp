#pragma once

#include <optional>
#include <string>

namespace tilvane {

// Which preset the look was chosen from, as the model, the gallery and the inspector all hold it:
// nothing (no screen preset), a built-in preset's id, or "personal:" and a personal preset's id.
using PresetSelection = std::optional<std::string>;

}  // namespace tilvane
