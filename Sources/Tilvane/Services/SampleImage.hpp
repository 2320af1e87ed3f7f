#pragma once

#include "TilvaneCore/Image.hpp"

#include <filesystem>

namespace tilvane {

// The picture a window shows when there is nothing to open.
class SampleImage {
public:
    static constexpr int maxDimension = 2048;

    // Resources/TilvaneSample.png of the bundle, read at 2048; nothing when it is missing or unreadable.
    static ImagePointer make(const std::filesystem::path& bundle);
    static ImagePointer make();
};

}  // namespace tilvane
