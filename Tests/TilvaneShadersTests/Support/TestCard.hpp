#pragma once

#include "TilvaneCore/Image.hpp"

namespace tilvane::testing {

// A reviewer's test card, width × (width × 3 / 4): colour bars, colour ramps, one-, two- and
// four-pixel lines, blocky pixel art, and a top-right corner that fades to transparent.
ImagePointer makeTestCard(int width);

}  // namespace tilvane::testing
