#include "TilvaneCore/GIFFramePipeline.hpp"

#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneCore/FrameReductionPool.hpp"

namespace tilvane {

void encodeFrames(GIFEncoder& encoder, int frameCount, const GIFExporter::FrameProvider& frame,
                  const std::stop_token& stopToken, int reductionThreads)
{
    FrameReductionPool reductions(reductionThreads, indexFrameForGIF,
                                  [&](IndexedFrame indexed) { encoder.addFrame(std::move(indexed)); });
    for (int index = 0; index < frameCount; ++index) {
        throwIfCancelled(stopToken);
        reductions.rethrowFailure();
        ImagePointer image = frame(index);
        if (!image) {
            throw GIFExportError(GIFExportErrorCase::invalidOptions);
        }
        encoder.checkFrame(*image);
        reductions.add(std::move(image));
    }
    reductions.waitUntilConsumed(stopToken);
}

}  // namespace tilvane
