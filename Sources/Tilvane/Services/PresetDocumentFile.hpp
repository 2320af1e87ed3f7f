#pragma once

#include "TilvanePresets/PersonalPreset.hpp"

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tilvane {

// A single-preset document file that could not be read; what() describes it in Portuguese.
class PresetDocumentReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The bytes of a document chosen for import. A file larger than the transfer document may be is
// refused (PersonalPresetError invalidData) before anything is read, and no more than that limit is
// ever read, even from a file that grows meanwhile. A folder or an unreadable file gives
// PresetDocumentReadError. The file is never changed.
std::string readPresetDocument(const std::filesystem::path& path);

// Writes the preset's transfer document to `path`, replacing the file only once it is complete.
// Throws what the encoder or the atomic write throws.
void writePresetDocument(const std::filesystem::path& path, const PersonalPreset& preset);

}  // namespace tilvane
