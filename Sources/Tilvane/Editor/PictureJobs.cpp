#include "Tilvane/Editor/PictureJobs.hpp"

namespace tilvane {

PictureJobs jobsToResume(const PictureJobs& interrupted, VisualChange lookChange, bool personalPresetsChanged)
{
    PictureJobs resumed;
    resumed.personalThumbnails = interrupted.personalThumbnails || personalPresetsChanged;
    if (interrupted.conversion || lookChange == VisualChange::convert) {
        resumed.conversion = true;
        return resumed;
    }
    resumed.shader = interrupted.shader || lookChange != VisualChange::none;
    resumed.builtInThumbnails =
        interrupted.builtInThumbnails || lookChange == VisualChange::applyShaderAndRefreshThumbnails;
    return resumed;
}

}  // namespace tilvane
