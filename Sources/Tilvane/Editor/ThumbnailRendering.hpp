#pragma once

#include "TilvaneCore/Image.hpp"
#include "TilvaneCore/Uuid.hpp"
#include "TilvanePresets/PersonalPreset.hpp"
#include "TilvaneShaders/Model/ScreenSettings.hpp"
#include "TilvaneShaders/Model/ShaderPreset.hpp"

#include <map>
#include <stop_token>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tilvane {

class ShaderRenderer;

inline constexpr int thumbnailWidth = 200;
// The gallery crops its thumbnails to fill a wide box, so a taller one would only cost memory.
inline constexpr int thumbnailMaxHeight = 2 * thumbnailWidth;

// The height of a 200-pixel-wide thumbnail of a width × height picture, from 1 to thumbnailMaxHeight.
int thumbnailHeight(int width, int height);

// The thumbnail-sized picture of the pixel grid of a width × height picture: the grid enlarged to 200 ×
// thumbnailHeight, or, for a picture more than twice as tall as wide, only its centre, cropped to 1:2 before it
// is enlarged, so that nothing is distorted and nothing larger than the thumbnail is ever made.
ImagePointer thumbnailBase(const Image& grid, int width, int height);

// Screen-wide scanlines or glow draw something when no shader configuration is chosen.
bool screenEffectsOn(const ScreenSettings& screen);

// The gallery's thumbnails: the grid with the screen settings alone (none when they draw nothing), and
// every built-in preset over the same screen settings, in the presets' order.
struct BuiltInThumbnails {
    ImagePointer screen;
    std::vector<std::pair<std::string, ImagePointer>> presets;
};

// All or nothing: throws ShaderRendererError (no renderer, a failed render) or CancellationError
// (checked before every preset) instead of returning part of the set. `width` and `height` are the
// source's, for the aspect ratio.
BuiltInThumbnails renderBuiltInThumbnails(const Image& grid, int width, int height, const ScreenSettings& screen,
                                          ShaderRenderer* renderer, const std::vector<ShaderPreset>& presets,
                                          std::stop_token stop);

// Each personal preset's own look over a fresh conversion of the source. A preset whose palette does not
// resolve, whose conversion or render fails, or that needs the missing renderer gets no entry; a stop
// returns what was gathered so far.
std::unordered_map<Uuid, ImagePointer> renderPersonalThumbnails(const Image& source,
                                                                const std::vector<PersonalPreset>& presets,
                                                                ShaderRenderer* renderer, std::stop_token stop);

}  // namespace tilvane
