#pragma once

namespace tilvane {

// What a change of the look asks of the window: nothing, a new conversion (which applies the shader after it),
// or only the shader again, with the built-in thumbnails refreshed when the screen settings changed.
enum class VisualChange { none, convert, applyShader, applyShaderAndRefreshThumbnails };

// The jobs that carry a picture from its source to what the window shows: the conversion (which applies the shader
// and makes the built-in thumbnails after it), the shader preview or its animation, the built-in thumbnails and the
// personal thumbnails.
struct PictureJobs {
    bool conversion = false;
    bool shader = false;
    bool builtInThumbnails = false;
    bool personalThumbnails = false;

    friend bool operator==(const PictureJobs&, const PictureJobs&) = default;
};

// What must run again when a picture comes back on screen after a load that replaced it failed: the jobs that were
// under way when it was left (`interrupted`), and what was edited meanwhile (`lookChange`, and whether the personal
// presets changed). A conversion brings the shader and the built-in thumbnails with it.
PictureJobs jobsToResume(const PictureJobs& interrupted, VisualChange lookChange, bool personalPresetsChanged);

}  // namespace tilvane
