#pragma once

#include "TilvaneCore/GIFEncoder.hpp"
#include "TilvaneCore/GIFExporter.hpp"

#include <functional>
#include <stop_token>

namespace tilvane {

// The number of frames to reduce side by side, told frame 0 once its size is checked.
using ReductionThreadsFor = std::function<int(const Image& firstFrame)>;

// Feeds frame(0) ... frame(frameCount − 1) into the encoder: each frame is requested only after the
// previous one was handed over and has its size checked at once; it is then reduced to its colours on a
// pool of reductionThreadsFor(frame 0) workers while the next one is requested, and the reduced frames are encoded
// strictly in order, on the workers. Cancellation is checked before every frame and while the last
// frames are waited for. The first error ends it: no further frame is requested, and the pool's threads
// have stopped before it returns or throws. A failed reduction or encoding is noticed before the next
// request after it happened, so frames after the failed one may have been requested meanwhile.
void encodeFrames(GIFEncoder& encoder, int frameCount, const GIFExporter::FrameProvider& frame,
                  const std::stop_token& stopToken, const ReductionThreadsFor& reductionThreadsFor);

}  // namespace tilvane
