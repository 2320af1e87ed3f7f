#include "Tilvane/Views/ImageView.hpp"

namespace tilvane {

namespace {

void releaseImage(void* holder)
{
    delete static_cast<ImagePointer*>(holder);
}

}  // namespace

QImage qImageView(const ImagePointer& image)
{
    if (!image) return {};
    const auto format = image->alphaMode() == AlphaMode::premultiplied ? QImage::Format_RGBA8888_Premultiplied
                                                                       : QImage::Format_RGBA8888;
    return QImage(image->bytes().data(), image->width(), image->height(), static_cast<qsizetype>(image->bytesPerRow()),
                  format, &releaseImage, new ImagePointer(image));
}

}  // namespace tilvane
