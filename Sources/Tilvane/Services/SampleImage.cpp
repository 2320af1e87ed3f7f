#include "Tilvane/Services/SampleImage.hpp"

#include "Tilvane/Services/ResourceBundle.hpp"
#include "TilvaneCore/ImageFileLoader.hpp"

#include <system_error>

namespace tilvane {

ImagePointer SampleImage::make(const std::filesystem::path& bundle)
{
    const auto file = bundle / "Resources" / "TilvaneSample.png";
    std::error_code error;
    if (!std::filesystem::exists(file, error)) return nullptr;
    return ImageFileLoader::load(file, maxDimension);
}

ImagePointer SampleImage::make()
{
    return make(ResourceBundle::resources());
}

}  // namespace tilvane
