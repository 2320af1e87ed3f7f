#pragma once

#include "TilvaneCore/Image.hpp"

#include <QImage>

// A QImage over the picture's own pixels, keeping the picture alive while the QImage (or a copy) exists;
// a null QImage for no picture.
QImage qImageView(const tilvane::ImagePointer& image);
