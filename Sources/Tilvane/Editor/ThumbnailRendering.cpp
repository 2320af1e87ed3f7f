#include "Tilvane/Editor/ThumbnailRendering.hpp"

#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneCore/ImageConverter.hpp"
#include "TilvaneShaders/Model/ShaderConfiguration.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

#include <algorithm>
#include <cmath>

namespace tilvane {

namespace {

// The height of a 200-pixel-wide thumbnail of a width × height picture before it is bounded.
double unboundedThumbnailHeight(int width, int height)
{
    return std::round(static_cast<double>(height) * thumbnailWidth / std::max(width, 1));
}

// The middle `rows` rows of the image.
ImagePointer centreRows(const Image& image, int rows)
{
    const auto top = static_cast<std::size_t>((image.height() - rows) / 2);
    const auto kept =
        image.bytes().subspan(top * image.bytesPerRow(), static_cast<std::size_t>(rows) * image.bytesPerRow());
    return Image::make(image.width(), rows, {kept.begin(), kept.end()}, image.alphaMode());
}

}  // namespace

int thumbnailHeight(int width, int height)
{
    return static_cast<int>(
        std::clamp(unboundedThumbnailHeight(width, height), 1.0, static_cast<double>(thumbnailMaxHeight)));
}

ImagePointer thumbnailBase(const Image& grid, int width, int height)
{
    const ImageConverter converter;
    if (unboundedThumbnailHeight(width, height) <= thumbnailMaxHeight) {
        return converter.upscale(grid, thumbnailWidth, thumbnailHeight(width, height));
    }
    // The grid rows over the centre part of the picture that is as much taller than wide as the bound allows.
    const double shownShare = static_cast<double>(thumbnailMaxHeight) / thumbnailWidth * width / height;
    const double shownRows = std::round(grid.height() * shownShare);
    const int rows = static_cast<int>(std::clamp(shownRows, 1.0, static_cast<double>(grid.height())));
    return converter.upscale(*centreRows(grid, rows), thumbnailWidth, thumbnailMaxHeight);
}

bool screenEffectsOn(const ScreenSettings& screen)
{
    return screen.effectiveScanlineStrength(std::nullopt) > 0 || screen.effectiveGlowStrength(std::nullopt) > 0;
}

BuiltInThumbnails renderBuiltInThumbnails(const Image& grid, int width, int height, const ScreenSettings& screen,
                                          ShaderRenderer* renderer, const std::vector<ShaderPreset>& presets,
                                          std::stop_token stop)
{
    const ImagePointer base = thumbnailBase(grid, width, height);
    if (renderer == nullptr) throw ShaderRendererError(ShaderRendererErrorCase::unavailable);
    BuiltInThumbnails thumbnails;
    if (screenEffectsOn(screen))
        thumbnails.screen = renderer->render(base, std::nullopt, screen, 0, {.temporalHistory = true}, stop);
    thumbnails.presets.reserve(presets.size());
    for (const ShaderPreset& preset : presets) {
        throwIfCancelled(stop);
        const auto configuration = ShaderConfiguration::fromPreset(preset);
        thumbnails.presets.emplace_back(
            preset.id, renderer->render(base, configuration, screen, 0, {.temporalHistory = true}, stop));
    }
    return thumbnails;
}

namespace {

ImagePointer personalThumbnail(const Image& source, const VisualSettings& visual, ShaderRenderer* renderer,
                               std::stop_token stop)
{
    const auto palette = visual.palette();
    if (!palette) return nullptr;
    const auto pixelSize = static_cast<int>(std::clamp<std::int64_t>(visual.pixelSize, 0, 1 << 16));
    const ImagePointer grid =
        ImageConverter().renderPixelGrid(source, *palette, pixelSize, visual.dither, visual.adjustments, stop);
    const ImagePointer base = thumbnailBase(*grid, source.width(), source.height());
    if (!visual.shader && !screenEffectsOn(visual.screen)) return base;
    if (renderer == nullptr) return nullptr;
    return renderer->render(base, visual.shader, visual.screen, 0, {}, stop);
}

}  // namespace

std::unordered_map<Uuid, ImagePointer> renderPersonalThumbnails(const Image& source,
                                                                const std::vector<PersonalPreset>& presets,
                                                                ShaderRenderer* renderer, std::stop_token stop)
{
    std::unordered_map<Uuid, ImagePointer> thumbnails;
    for (const PersonalPreset& preset : presets) {
        if (stop.stop_requested()) break;
        try {
            if (ImagePointer thumbnail = personalThumbnail(source, preset.visual, renderer, stop)) {
                thumbnails.emplace(preset.id, std::move(thumbnail));
            }
        } catch (const std::exception&) {
            // This preset keeps no thumbnail; the others still get theirs.
        }
    }
    return thumbnails;
}

}  // namespace tilvane
