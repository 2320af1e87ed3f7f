#pragma once

#include "TilvaneCore/GIFExporter.hpp"
#include "TilvaneCore/Image.hpp"
#include "TilvaneShaders/Model/ScreenSettings.hpp"
#include "TilvaneShaders/Model/ShaderConfiguration.hpp"

#include <QString>

#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

namespace tilvane {

class ShaderRenderer;

// The name a save dialog proposes: the source's name without its extension, then "-tilvane." and the
// format's extension ("foto.jpeg" → "foto-tilvane.png"; a name without extension keeps all of it).
QString exportFileName(const QString& sourceName, const QString& extension);
// The same name without the format's extension ("foto.jpeg" → "foto-tilvane").
QString exportFileStem(const QString& sourceName);

// Whether an export has anything to render: a shader configuration, or screen-wide scanlines or glow.
bool exportNeedsRender(const std::optional<ShaderConfiguration>& configuration, const ScreenSettings& screen);

// What a PNG export works on, taken on the main thread when it starts.
struct PNGExportSnapshot {
    ImagePointer source;
    ImagePointer pixelGrid;
    std::optional<ShaderConfiguration> configuration;  // motion off under reduce motion
    ScreenSettings screen;
    float shaderFrameTime = 0;
    std::filesystem::path destination;
};

PNGExportSnapshot makePNGSnapshot(ImagePointer source, ImagePointer pixelGrid,
                                  std::optional<ShaderConfiguration> configuration, const ScreenSettings& screen,
                                  float shaderFrameTime, bool reduceMotion, std::filesystem::path destination);

// The grid enlarged to the source's full size, rendered once at the snapshot's time without history on
// the shared renderer when the look needs it, written as a PNG beside-then-renamed. False on any failure
// (no renderer included); the destination is then as it was.
bool runPNGExport(const PNGExportSnapshot& snapshot, ShaderRenderer* sharedRenderer, std::stop_token stop);

// Frames of a GIF: 10 per second for the whole duration with a shader, else one held for all of it.
struct GIFTiming {
    int frameCount = 1;
    double frameDelay = 1;

    float time(int index) const { return static_cast<float>(frameDelay) * static_cast<float>(index); }
    friend bool operator==(const GIFTiming&, const GIFTiming&) = default;
};

GIFTiming gifTiming(bool hasShader, int durationSeconds);

// What a GIF export works on, taken on the main thread when it starts.
struct GIFExportSnapshot {
    ImagePointer pixelGrid;
    GIFDimensions size;
    std::optional<ShaderConfiguration> configuration;  // motion always on
    ScreenSettings screen;
    int duration = 2;
    std::filesystem::path destination;
};

GIFExportSnapshot makeGIFSnapshot(ImagePointer pixelGrid, int sourceWidth, int sourceHeight, int maxDimension,
                                  std::optional<ShaderConfiguration> configuration, const ScreenSettings& screen,
                                  int duration, std::filesystem::path destination);

// Makes the renderer of one GIF export (each export compiles its own, leaving the preview's history alone).
using ExportRendererFactory = std::function<std::unique_ptr<ShaderRenderer>()>;

// Writes the GIF through the core's exporter, frames rendered one at a time while the ones before are
// reduced to their colours on reductionThreads threads (by default as many as the machine allows, see
// GIFExporter::write). Throws whatever failed: the enlargement, the
// renderer's creation, a frame, the writer, or CancellationError.
void runGIFExport(const GIFExportSnapshot& snapshot, const ExportRendererFactory& makeRenderer, std::stop_token stop,
                  std::optional<int> reductionThreads = std::nullopt);

// The text after "Não foi possível salvar o GIF: " for an error thrown by runGIFExport: the error's own
// Portuguese text, or the writer's "could not finish" text when the file system refused the finished file.
QString gifExportErrorDescription(const std::exception_ptr& error);

}  // namespace tilvane
