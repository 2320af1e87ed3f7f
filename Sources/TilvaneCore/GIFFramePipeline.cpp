#include "TilvaneCore/GIFFramePipeline.hpp"

#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneCore/FrameReductionPool.hpp"

#include <optional>

namespace tilvane {

void encodeFrames(GIFEncoder& encoder, int frameCount, const GIFExporter::FrameProvider& frame,
                  const std::stop_token& stopToken, const ReductionThreadsFor& reductionThreadsFor)
{
    std::optional<FrameReductionPool> reductions;  // made once frame 0 tells the size
    for (int index = 0; index < frameCount; ++index) {
        throwIfCancelled(stopToken);
        if (reductions) reductions->rethrowFailure();
        ImagePointer image = frame(index);
        if (!image) {
            throw GIFExportError(GIFExportErrorCase::invalidOptions);
        }
        encoder.checkFrame(*image);
        if (!reductions) {
            reductions.emplace(reductionThreadsFor(*image), indexFrameForGIF,
                               [&](IndexedFrame indexed) { encoder.addFrame(std::move(indexed)); });
        }
        reductions->add(std::move(image));
    }
    if (reductions) reductions->waitUntilConsumed(stopToken);
}

}  // namespace tilvane
