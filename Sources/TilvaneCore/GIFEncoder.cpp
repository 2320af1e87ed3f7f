#include "TilvaneCore/GIFEncoder.hpp"

#include "TilvaneCore/GIFExporter.hpp"

#include <cgif.h>

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>

namespace tilvane {

namespace {

constexpr int largestSide = std::numeric_limits<std::uint16_t>::max();

}  // namespace

IndexedFrame indexFrameForGIF(const Image& frame)
{
    try {
        return indexFrame(frame);
    } catch (const std::runtime_error&) {
        throw GIFExportError(GIFExportErrorCase::cannotFinalize);
    } catch (const std::bad_alloc&) {
        throw GIFExportError(GIFExportErrorCase::cannotFinalize);
    }
}

GIFEncoder::GIFEncoder(AtomicFileWriter& file, std::uint16_t delayCentiseconds) : file_(file), delay_(delayCentiseconds)
{
}

GIFEncoder::~GIFEncoder()
{
    if (gif_ != nullptr) {
        cgif_close(gif_);  // an abandoned stream; the file is discarded by its owner
    }
}

int GIFEncoder::writeToFile(void* context, const std::uint8_t* data, std::size_t size)
{
    try {
        static_cast<GIFEncoder*>(context)->file_.write({data, size});
        return 0;
    } catch (...) {
        return -1;  // cgif reports it as a failed write
    }
}

void GIFEncoder::checkFrame(const Image& frame)
{
    if (gif_ == nullptr) {
        if (frame.width() > largestSide || frame.height() > largestSide) {
            throw GIFExportError(GIFExportErrorCase::invalidOptions);
        }
        CGIF_Config config{};
        config.attrFlags = CGIF_ATTR_IS_ANIMATED | CGIF_ATTR_NO_GLOBAL_TABLE;
        config.width = static_cast<std::uint16_t>(frame.width());
        config.height = static_cast<std::uint16_t>(frame.height());
        config.numLoops = CGIF_INFINITE_LOOP;
        config.pWriteFn = &GIFEncoder::writeToFile;
        config.pContext = this;
        gif_ = cgif_newgif(&config);
        if (gif_ == nullptr) {
            throw GIFExportError(GIFExportErrorCase::cannotCreateDestination);
        }
        width_ = frame.width();
        height_ = frame.height();
    } else if (frame.width() != width_ || frame.height() != height_) {
        throw GIFExportError(GIFExportErrorCase::invalidOptions);
    }
}

void GIFEncoder::addFrame(IndexedFrame indexed)
{
    if (pending_) {
        // A frame with transparent pixels clears the previous frame first, and some decoders
        // (libnsgif among them) clear a frame without a transparent entry to an opaque colour.
        if (indexed.transparentIndex
            && std::ranges::find(indexed.indices, *indexed.transparentIndex) != indexed.indices.end()) {
            freeTransparentEntry(*pending_);
        }
        submit(*pending_);
    }
    pending_ = std::move(indexed);
}

void GIFEncoder::submit(IndexedFrame& indexed)
{
    CGIF_FrameConfig config{};
    config.pLocalPalette = indexed.palette.data();
    config.numLocalPaletteEntries = static_cast<std::uint16_t>(indexed.palette.size() / 3);
    config.pImageData = indexed.indices.data();
    config.attrFlags = CGIF_FRAME_ATTR_USE_LOCAL_TABLE;
    config.delay = delay_;
    if (indexed.transparentIndex) {
        // cgif then disposes of the previous frame before drawing this one, so that its
        // transparent pixels do not show what was there before.
        config.attrFlags |= CGIF_FRAME_ATTR_HAS_ALPHA;
        config.transIndex = *indexed.transparentIndex;
    }
    if (cgif_addframe(gif_, &config) != CGIF_OK) {
        throw GIFExportError(GIFExportErrorCase::cannotFinalize);
    }
}

void GIFEncoder::finish()
{
    if (gif_ == nullptr || !pending_) {
        throw GIFExportError(GIFExportErrorCase::cannotFinalize);
    }
    submit(*pending_);
    pending_.reset();
    st_gif* gif = gif_;
    gif_ = nullptr;
    if (cgif_close(gif) != CGIF_OK) {
        throw GIFExportError(GIFExportErrorCase::cannotFinalize);
    }
}

}  // namespace tilvane
