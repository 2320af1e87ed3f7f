#include "TilvaneCore/GIFExporter.hpp"

#include "TilvaneCore/AtomicFileWriter.hpp"
#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneCore/FrameReductionBudget.hpp"
#include "TilvaneCore/GIFEncoder.hpp"
#include "TilvaneCore/GIFFramePipeline.hpp"
#include "TilvaneCore/Uuid.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <system_error>

namespace tilvane {

const char* message(GIFExportErrorCase errorCase) noexcept
{
    switch (errorCase) {
    case GIFExportErrorCase::invalidOptions:
        return "As opções do GIF são inválidas.";
    case GIFExportErrorCase::cannotCreateDestination:
        return "Não foi possível criar o arquivo GIF.";
    case GIFExportErrorCase::cannotFinalize:
        return "Não foi possível concluir o arquivo GIF.";
    }
    return "";
}

namespace {

constexpr double shortestFrameDelay = 0.1;

// GIF stores each frame's delay in hundredths of a second, in 16 bits.
std::uint16_t delayInCentiseconds(int frameCount, double frameDelay)
{
    if (frameCount < 1 || !std::isfinite(frameDelay) || frameDelay < shortestFrameDelay) {
        throw GIFExportError(GIFExportErrorCase::invalidOptions);
    }
    const double centiseconds = std::round(frameDelay * 100);
    if (centiseconds > std::numeric_limits<std::uint16_t>::max()) {
        throw GIFExportError(GIFExportErrorCase::invalidOptions);
    }
    return static_cast<std::uint16_t>(centiseconds);
}

int roundedSide(int side, double scale)
{
    const double value = std::round(static_cast<double>(side) * scale);
    // Compared as doubles, so that nothing outside the int range is ever converted.
    if (!(value >= 1)) return 1;
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

}  // namespace

GIFDimensions GIFExporter::dimensions(int width, int height, int maxDimension) noexcept
{
    const double scale = static_cast<double>(maxDimension) / static_cast<double>(std::max({width, height, 1}));
    return {roundedSide(width, scale), roundedSide(height, scale)};
}

int GIFExporter::defaultReductionThreads(int frameWidth, int frameHeight)
{
    return reductionWorkers(processResources(), frameWidth, frameHeight);
}

void GIFExporter::write(const std::filesystem::path& destination, int frameCount, double frameDelay,
                        const FrameProvider& frame, std::stop_token stopToken, std::optional<int> reductionThreads)
{
    const std::uint16_t delay = delayInCentiseconds(frameCount, frameDelay);
    // The machine is looked at before anything of the export takes memory.
    const std::optional<ProcessResources> resources =
        reductionThreads ? std::nullopt : std::optional(processResources());
    const auto threadsFor = [&](const Image& firstFrame) {
        return resources ? reductionWorkers(*resources, firstFrame.width(), firstFrame.height()) : *reductionThreads;
    };

    std::optional<AtomicFileWriter> file;
    try {
        file.emplace(destination, ".tilvane-" + Uuid::random().string() + ".gif");
    } catch (const std::system_error&) {
        throw GIFExportError(GIFExportErrorCase::cannotCreateDestination);
    }

    GIFEncoder encoder(*file, delay);
    encodeFrames(encoder, frameCount, frame, stopToken, threadsFor);
    throwIfCancelled(stopToken);
    encoder.finish();
    try {
        file->sync();
    } catch (const std::system_error&) {
        throw GIFExportError(GIFExportErrorCase::cannotFinalize);
    }
    file->commit();
}

}  // namespace tilvane
