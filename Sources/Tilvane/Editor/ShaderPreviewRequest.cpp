#include "Tilvane/Editor/ShaderPreviewRequest.hpp"

#include "Tilvane/Editor/ThumbnailRendering.hpp"

namespace tilvane {

std::optional<ShaderPreviewRequest> previewRequest(ImagePointer base, std::optional<ShaderConfiguration> configuration,
                                                   const ScreenSettings& screen, bool reduceMotion, bool isActive)
{
    if (!base) return std::nullopt;
    if (!configuration && !screenEffectsOn(screen)) return std::nullopt;
    if (configuration && (reduceMotion || !isActive)) configuration->motion = false;
    return ShaderPreviewRequest{std::move(base), std::move(configuration), screen};
}

}  // namespace tilvane
