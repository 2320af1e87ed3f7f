#pragma once

#include "Tilvane/Editor/EditorServices.hpp"

namespace tilvane {

// The files in the support folder, the shared renderer, the system clock, the thread pool, the process's exports
// (stopped when the application quits), the sample picture, the process's incoming-file slot, lifecycle and
// reduce-motion setting, file panels, and a telemetry sink that sends nothing (the application passes its own).
EditorServices standardEditorServices();

}  // namespace tilvane
