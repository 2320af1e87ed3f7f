#pragma once

#include "TilvaneCore/Image.hpp"

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <stop_token>
#include <vector>

namespace tilvane {

// The encoder could not make a PNG of the picture.
class PNGEncodingError : public std::runtime_error {
public:
    PNGEncodingError() : std::runtime_error("Não foi possível codificar o PNG.") {}
};

// The picture as an 8-bit RGBA PNG with straight (un-premultiplied) alpha. Pixel art repeats rows and
// runs of one colour, so a low zlib level with the "up" filter keeps the file small at a fraction of the
// default level's time. Throws PNGEncodingError.
std::vector<std::uint8_t> encodePNG(const Image& image);

// Writes the picture as a PNG beside the destination, without a name where the file system allows it (else
// under the hidden name ".tilvane-" + UUID + ".png"), and puts it in place only when the whole file is on
// disk; a process killed meanwhile leaves no file behind. Throws
// PNGEncodingError, std::system_error (the temporary file cannot be made or written), CancellationError
// (the stop token, checked while writing) or std::filesystem::filesystem_error (putting it in place). After any
// error the destination is as it was and no temporary file remains.
void writePNG(const std::filesystem::path& destination, const Image& image, std::stop_token stop = {});

}  // namespace tilvane
