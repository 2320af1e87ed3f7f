#pragma once

#include "TilvaneCore/Image.hpp"

#include <QImage>

namespace tilvane {

// A QImage over the picture's own pixels, keeping the picture alive while the QImage (or a copy) exists;
// a null QImage for no picture.
QImage qImageView(const ImagePointer& image);

}  // namespace tilvane
