#pragma once

#include "TilvaneCore/GIFEncoder.hpp"
#include "TilvaneCore/GIFExporter.hpp"

#include <stop_token>

namespace tilvane {

// Feeds frame(0) ... frame(frameCount − 1) into the encoder: each frame is requested only after the
// previous one was handed over, has its size checked at once, and is reduced to its colours on a pool of
// reductionThreads workers while the next one is requested; the reduced frames are encoded strictly in
// order, each as soon as it and those before it are ready. Cancellation is checked before every frame and
// before each of the last reductions is waited for. The first error ends it: no further frame is requested, and
// the pool's threads have stopped before it returns or throws. A failed reduction is reported when its
// turn to be encoded comes, so frames after it may have been requested meanwhile.
void encodeFrames(GIFEncoder& encoder, int frameCount, const GIFExporter::FrameProvider& frame,
                  const std::stop_token& stopToken, int reductionThreads);

}  // namespace tilvane
