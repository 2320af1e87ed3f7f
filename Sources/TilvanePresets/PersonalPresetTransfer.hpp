#pragma once

#include "TilvanePresets/PersonalPreset.hpp"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tilvane {

// The single-preset document through which a personal preset leaves the application and comes
// back: {"kind": "tilvane-preset", "name": …, "version": 1, "visual": {…}}, pretty-printed with
// the keys of every object sorted. It carries no identity.
class PersonalPresetTransfer {
public:
    PersonalPresetTransfer() = delete;

    static constexpr std::size_t maximumDocumentSize = 1'048'576;
    static constexpr std::string_view kind = "tilvane-preset";
    static constexpr std::string_view defaultFileName = "tilvane-preset.json";

    // The document for the preset, with its name as stored (untrimmed) and without its id.
    // Throws PersonalPresetError(invalidData) for a blank name, an invalid look, a name that is
    // not UTF-8 or a document over maximumDocumentSize; json::EncodingError for a NaN or infinite
    // float that validation does not look at.
    static std::string encode(const PersonalPreset& preset);

    // The preset of a document, with a new random id and its name trimmed. Checks, in order: the
    // size (before parsing), that the document decodes, its kind (invalidData), its version
    // (unsupportedVersion), the name and the look (invalidData). Throws PersonalPresetError only.
    static PersonalPreset decode(std::string_view data);

    // The bytes of a document file chosen for import, for decode. Throws
    // PersonalPresetError(invalidData) without blocking or reading for what is missing, not a regular
    // file (a FIFO, a device, a folder) or longer than maximumDocumentSize, and when reading fails.
    static std::string readDocument(const std::filesystem::path& file);
};

}  // namespace tilvane
