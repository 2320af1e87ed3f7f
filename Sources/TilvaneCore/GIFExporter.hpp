#pragma once

#include "TilvaneCore/EnumeratedError.hpp"
#include "TilvaneCore/Image.hpp"

#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>

namespace tilvane {

enum class GIFExportErrorCase {
    invalidOptions,
    cannotCreateDestination,
    cannotFinalize,
};

const char* message(GIFExportErrorCase errorCase) noexcept;

using GIFExportError = EnumeratedError<GIFExportErrorCase>;

struct GIFDimensions {
    int width = 0;
    int height = 0;

    friend bool operator==(const GIFDimensions&, const GIFDimensions&) = default;
};

// Writes looping animated GIFs from frames rendered on demand.
class GIFExporter {
public:
    GIFExporter() = delete;

    static constexpr int framesPerSecond = 10;

    // Renders frame `index`; may throw, and the error ends the export unchanged.
    using FrameProvider = std::function<ImagePointer(int index)>;

    // The frame size for a source of width × height whose longer side becomes maxDimension
    // (a smaller source is enlarged); each side is rounded half away from zero and is at least 1.
    // Sizes beyond the int range are clamped to it.
    static GIFDimensions dimensions(int width, int height, int maxDimension) noexcept;

    // The colour-reducing threads of an export of frames of width × height that does not say how many:
    // as many as this process has CPUs and memory for now (reductionWorkers).
    static int defaultReductionThreads(int frameWidth, int frameHeight);

    // Writes a GIF that loops forever, each frame shown for frameDelay seconds, asking for
    // frame(0) ... frame(frameCount − 1) one at a time and in order, each only after the previous
    // one was handed over. While the next frame is requested, the frames before it are reduced to
    // their colours on reductionThreads threads side by side, then encoded in order; so at most
    // reductionThreads frames are kept besides the one requested, each only until it is encoded.
    // Without reductionThreads, their number comes from the size of frame 0 and the CPUs and memory
    // this process had when the export started (defaultReductionThreads). With one thread each frame
    // is reduced and encoded on the caller's thread before the next is requested. The bytes written
    // do not depend on the number of threads. The file is built beside the destination (without a
    // name where the file system allows it, else under a hidden temporary one) and put in its place
    // only when complete.
    //
    // Throws GIFExportError::invalidOptions before anything is created when frameCount is below 1
    // or frameDelay is not a finite number of seconds from 0.1 to 655.35, and during the export
    // when a frame is missing, larger than 65535 pixels on a side, or not the size of frame 0;
    // cannotCreateDestination when the temporary file cannot be made; cannotFinalize when
    // reducing, encoding or flushing fails; CancellationError when the stop token is triggered (checked
    // before each frame and before finishing); the frame provider's own error; and
    // std::filesystem::filesystem_error when the file cannot be put in place. After any error
    // no temporary file remains, the destination is as it was and no thread of the export is left.
    static void write(const std::filesystem::path& destination, int frameCount, double frameDelay,
                      const FrameProvider& frame, std::stop_token stopToken = {},
                      std::optional<int> reductionThreads = std::nullopt);
};

}  // namespace tilvane
