#pragma once

#include "TilvaneCore/Image.hpp"

#include <filesystem>

namespace tilvane::testing {

// Writes the picture as an 8-bit RGBA PNG with straight alpha, for a reviewer to look at.
void writePng(const Image& image, const std::filesystem::path& file);

}  // namespace tilvane::testing
