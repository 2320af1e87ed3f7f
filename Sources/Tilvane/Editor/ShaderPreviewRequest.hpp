#pragma once

#include "TilvaneCore/Image.hpp"
#include "TilvaneShaders/Model/ScreenSettings.hpp"
#include "TilvaneShaders/Model/ShaderConfiguration.hpp"

#include <chrono>
#include <optional>

namespace tilvane {

// One preview to render: the preview base with the look as it should run now (motion already switched
// off when the window is inactive or the desktop reduces motion).
struct ShaderPreviewRequest {
    ImagePointer base;
    std::optional<ShaderConfiguration> configuration;
    ScreenSettings screen;

    bool animates() const { return configuration.has_value() && configuration->motion; }
};

// The pause between one animated frame's arrival and the next render.
inline constexpr std::chrono::milliseconds previewFrameInterval{75};

// What the preview renders for a look, or nothing when there is nothing to draw (no preview base, or
// no configuration and no screen-wide effects). The look animates only when it has motion, the window
// is active and the desktop does not reduce motion.
std::optional<ShaderPreviewRequest> previewRequest(ImagePointer base, std::optional<ShaderConfiguration> configuration,
                                                   const ScreenSettings& screen, bool reduceMotion, bool isActive);

}  // namespace tilvane
