// The image loader on any bytes, written to a file as a picture the user opens would be.

#include "FuzzSupport.hpp"

#include "TilvaneCore/ImageFileLoader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tilvane;
    const auto path = fuzz::writeInput("picture", fuzz::bytesOf(data, size));
    for (const int maxDimension : {1, 64}) {
        const ImagePointer image = ImageFileLoader::load(path, maxDimension);
        if (image) {
            fuzz::require(image->width() >= 1 && image->height() >= 1, "an empty picture was loaded");
            fuzz::require(std::max(image->width(), image->height()) <= maxDimension, "the picture was not shrunk");
        }
    }
    return 0;
}
