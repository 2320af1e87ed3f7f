#pragma once

#include "Tilvane/Editor/EditorServices.hpp"

namespace tilvane {

// The files in the support folder, the shared renderer, the system clock, the thread pool, the process's exports
// (stopped when the application quits), the sample picture, the process's incoming-file slot, lifecycle and
// reduce-motion setting, file panels, a telemetry sink that sends nothing and nobody told of a closed window's failed
// export (the application passes its own).
EditorServices standardEditorServices();
// The process's exports, which every window of standardEditorServices() shares.
std::shared_ptr<ExportRun> processExports();

}  // namespace tilvane
