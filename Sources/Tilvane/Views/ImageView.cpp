#include "Tilvane/Views/ImageView.hpp"

namespace {

void releaseImage(void* holder)
{
    delete static_cast<tilvane::ImagePointer*>(holder);
}

}  // namespace

QImage qImageView(const tilvane::ImagePointer& image)
{
    if (!image) return {};
    const auto format = image->alphaMode() == tilvane::AlphaMode::premultiplied ? QImage::Format_RGBA8888_Premultiplied
                                                                                : QImage::Format_RGBA8888;
    return QImage(image->bytes().data(), image->width(), image->height(), static_cast<qsizetype>(image->bytesPerRow()),
                  format, &releaseImage, new tilvane::ImagePointer(image));
}
