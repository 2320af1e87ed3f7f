#include "Tilvane/Editor/ExportJobs.hpp"

#include "Tilvane/Services/PNGFileWriter.hpp"
#include "TilvaneCore/ImageConverter.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

#include <system_error>

namespace tilvane {

QString exportFileStem(const QString& sourceName)
{
    const qsizetype dot = sourceName.lastIndexOf(QLatin1Char('.'));
    return (dot > 0 ? sourceName.left(dot) : sourceName) + QStringLiteral("-tilvane");
}

QString exportFileName(const QString& sourceName, const QString& extension)
{
    return exportFileStem(sourceName) + QLatin1Char('.') + extension;
}

bool exportNeedsRender(const std::optional<ShaderConfiguration>& configuration, const ScreenSettings& screen)
{
    return configuration.has_value() || screen.effectiveScanlineStrength(configuration) > 0
           || screen.effectiveGlowStrength(configuration) > 0;
}

PNGExportSnapshot makePNGSnapshot(ImagePointer source, ImagePointer pixelGrid,
                                  std::optional<ShaderConfiguration> configuration, const ScreenSettings& screen,
                                  float shaderFrameTime, bool reduceMotion, std::filesystem::path destination)
{
    if (configuration && reduceMotion) configuration->motion = false;
    return {std::move(source), std::move(pixelGrid),  std::move(configuration), screen,
            shaderFrameTime,   std::move(destination)};
}

bool runPNGExport(const PNGExportSnapshot& snapshot, ShaderRenderer* sharedRenderer, std::stop_token stop)
{
    try {
        ImagePointer image =
            ImageConverter().upscale(*snapshot.pixelGrid, snapshot.source->width(), snapshot.source->height());
        if (exportNeedsRender(snapshot.configuration, snapshot.screen)) {
            if (sharedRenderer == nullptr) return false;
            image = sharedRenderer->render(image, snapshot.configuration, snapshot.screen, snapshot.shaderFrameTime, {},
                                           stop);
        }
        writePNG(snapshot.destination, *image, stop);
        return true;
    } catch (...) {
        return false;
    }
}

GIFTiming gifTiming(bool hasShader, int durationSeconds)
{
    const int frameCount = hasShader ? durationSeconds * GIFExporter::framesPerSecond : 1;
    return {frameCount, static_cast<double>(durationSeconds) / static_cast<double>(frameCount)};
}

GIFExportSnapshot makeGIFSnapshot(ImagePointer pixelGrid, int sourceWidth, int sourceHeight, int maxDimension,
                                  std::optional<ShaderConfiguration> configuration, const ScreenSettings& screen,
                                  int duration, std::filesystem::path destination)
{
    if (configuration) configuration->motion = true;
    return {std::move(pixelGrid),
            GIFExporter::dimensions(sourceWidth, sourceHeight, maxDimension),
            std::move(configuration),
            screen,
            duration,
            std::move(destination)};
}

void runGIFExport(const GIFExportSnapshot& snapshot, const ExportRendererFactory& makeRenderer, std::stop_token stop,
                  std::optional<int> reductionThreads)
{
    const ImagePointer image = ImageConverter().upscale(*snapshot.pixelGrid, snapshot.size.width, snapshot.size.height);
    std::unique_ptr<ShaderRenderer> renderer;
    if (exportNeedsRender(snapshot.configuration, snapshot.screen)) {
        renderer = makeRenderer();
        if (!renderer) throw ShaderRendererError(ShaderRendererErrorCase::unavailable);
    }
    const GIFTiming timing = gifTiming(snapshot.configuration.has_value(), snapshot.duration);
    GIFExporter::write(
        snapshot.destination, timing.frameCount, timing.frameDelay,
        [&](int index) {
            if (!renderer) return image;
            return renderer->render(image, snapshot.configuration, snapshot.screen, timing.time(index),
                                    {.temporalHistory = true}, stop);
        },
        stop, reductionThreads);
}

QString gifExportErrorDescription(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::system_error&) {
        // The file system refused to put the finished file in place (filesystem_error included).
    } catch (const std::exception& other) {
        return QString::fromUtf8(other.what());
    } catch (...) {
    }
    return QString::fromUtf8(GIFExportError(GIFExportErrorCase::cannotFinalize).what());
}

}  // namespace tilvane
