#pragma once

#include "TilvanePresets/PersonalPreset.hpp"

#include <cstddef>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

namespace tilvane {

// A document whose look names an effect that this version does not draw. Its message names the effect (elided in
// the middle when long), so that the refusal does not read like a broken installation.
class UnknownEffectError : public std::exception {
public:
    explicit UnknownEffectError(std::string_view effect);
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

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
    // (unsupportedVersion), the name and the look (invalidData), then the effect of every pass
    // (UnknownEffectError for the first this version does not know). Throws PersonalPresetError
    // and UnknownEffectError only.
    static PersonalPreset decode(std::string_view data);

    // The bytes of a document file chosen for import, for decode. Throws
    // PersonalPresetError(invalidData) without blocking or reading for what is missing, not a regular
    // file (a FIFO, a device, a folder) or longer than maximumDocumentSize, and when reading fails.
    static std::string readDocument(const std::filesystem::path& file);
};

}  // namespace tilvane
