#pragma once

#include "TilvaneCore/Bitmap.hpp"
#include "TilvaneCore/Image.hpp"

namespace tilvane {

// Fills the whole bitmap from the whole image by area averaging: every destination pixel is the
// mean of the source area it covers, partly covered source pixels counting by the share they
// cover. Averages premultiplied values, so transparent pixels lend no colour to their neighbours.
// Uses several threads for large sources.
void resampleByAreaAverage(const Image& source, Bitmap& destination);

}  // namespace tilvane
