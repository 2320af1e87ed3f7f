#include "TilvaneCore/GIFFramePipeline.hpp"

#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneCore/FrameReductionPool.hpp"

namespace tilvane {

void encodeFrames(GIFEncoder& encoder, int frameCount, const GIFExporter::FrameProvider& frame,
                  const std::stop_token& stopToken, int reductionThreads)
{
    FrameReductionPool reductions(reductionThreads, indexFrameForGIF);
    const auto encodeOldest = [&] { encoder.addFrame(reductions.takeOldest()); };
    for (int index = 0; index < frameCount; ++index) {
        throwIfCancelled(stopToken);
        ImagePointer image = frame(index);
        if (!image) {
            throw GIFExportError(GIFExportErrorCase::invalidOptions);
        }
        encoder.checkFrame(*image);
        while (reductions.full()) encodeOldest();
        reductions.add(std::move(image));
        while (reductions.oldestReduced()) encodeOldest();
    }
    while (!reductions.empty()) {
        throwIfCancelled(stopToken);
        encodeOldest();
    }
}

}  // namespace tilvane
