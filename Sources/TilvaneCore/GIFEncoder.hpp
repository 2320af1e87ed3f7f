#pragma once

#include "TilvaneCore/AtomicFileWriter.hpp"
#include "TilvaneCore/Image.hpp"
#include "TilvaneCore/IndexedFrame.hpp"

#include <cstdint>
#include <optional>

struct st_gif;

namespace tilvane {

// indexFrame, its failures reported as GIFExportError::cannotFinalize.
IndexedFrame indexFrameForGIF(const Image& frame);

// Streams frames of one size into an endlessly looping GIF through cgif. The first frame fixes
// the size; each frame comes reduced to its own colour table (indexFrameForGIF), in order. A
// reduced frame is written once the next one is known, since a frame that is cleared away for
// transparent pixels after it must itself declare a transparent entry.
class GIFEncoder {
public:
    GIFEncoder(AtomicFileWriter& file, std::uint16_t delayCentiseconds);
    ~GIFEncoder();

    GIFEncoder(const GIFEncoder&) = delete;
    GIFEncoder& operator=(const GIFEncoder&) = delete;

    // Accepts the size of the next frame before it is reduced; it may run while addFrame runs on
    // another thread, the first frame excepted. Throws GIFExportError:
    // invalidOptions for a frame too large for GIF or of another size than the first,
    // cannotCreateDestination when the stream cannot start.
    void checkFrame(const Image& frame);

    // Adds the next frame, reduced, of the size checked. Throws GIFExportError::cannotFinalize
    // when encoding or writing fails.
    void addFrame(IndexedFrame indexed);

    // Writes the rest of the stream; throws GIFExportError::cannotFinalize.
    void finish();

private:
    void submit(IndexedFrame& indexed);
    static int writeToFile(void* context, const std::uint8_t* data, std::size_t size);

    AtomicFileWriter& file_;
    std::uint16_t delay_;
    st_gif* gif_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    std::optional<IndexedFrame> pending_;
};

}  // namespace tilvane
