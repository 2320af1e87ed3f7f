#pragma once

#include "TilvaneCore/EnumeratedError.hpp"
#include "TilvanePresets/Url.hpp"
#include "TilvanePresets/VisualSettings.hpp"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>

namespace tilvane {

enum class LastSessionErrorCase {
    unsupportedVersion,
    invalidData,
};
const char* message(LastSessionErrorCase errorCase) noexcept;
using LastSessionError = EnumeratedError<LastSessionErrorCase>;

// What the editor window needs to reopen where the user left off.
struct LastSession {
    Url imageURL;                                 // a file URL with a non-empty path
    VisualSettings visual;                        // must pass validate()
    std::optional<std::string> selectedPresetID;  // at most 256 user-perceived characters
    std::int64_t maxDimension = 2048;             // 1024, 2048 or 4096
    double compareFraction = 0.5;                 // 0...1

    // Tests, in order: the file URL and its path, maxDimension, compareFraction and
    // selectedPresetID (each LastSessionError(invalidData)), then visual.validate(), whose
    // PersonalPresetError is passed on. A selectedPresetID that is not UTF-8 is invalidData too.
    void validate() const;

    friend bool operator==(const LastSession&, const LastSession&) = default;

    // "imageURL" (URL text), "visual", "maxDimension" and "compareFraction" are required;
    // "selectedPresetID" is absent when missing or null. Does not validate.
    // Throws json::DecodingError.
    static LastSession fromJson(const nlohmann::json& object);
};

// "selectedPresetID" only when present. Throws json::EncodingError for a non-finite number.
nlohmann::json toJson(const LastSession& session);

}  // namespace tilvane
