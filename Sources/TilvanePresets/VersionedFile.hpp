#pragma once

// The stores' files: one JSON object {"version": 1, "<content key>": …}.

#include "TilvaneCore/EnumeratedError.hpp"
#include "TilvanePresets/DocumentCoding.hpp"
#include "TilvanePresets/StoredFile.hpp"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>

namespace tilvane::versionedfile {

inline constexpr std::int64_t currentVersion = 1;

// Far above any list a user builds by hand; a larger file is refused before it is read.
inline constexpr std::size_t maximumFileSize = 16 * 1024 * 1024;

// The decoded content of the document in `bytes`. Bytes that do not decode throw EnumeratedError(invalidData); a
// document of another version, once it has decoded in full, EnumeratedError(unsupportedVersion).
template <typename ErrorCase, typename DecodeContent>
auto decode(const std::string& bytes, std::string_view contentKey, ErrorCase invalidData, ErrorCase unsupportedVersion,
            DecodeContent decodeContent) -> std::invoke_result_t<DecodeContent, const nlohmann::json&>
{
    std::int64_t version = 0;
    std::optional<std::invoke_result_t<DecodeContent, const nlohmann::json&>> content;
    try {
        const nlohmann::json document = json::parseDocument(bytes);
        json::requireObject(document, "O arquivo");
        version = json::toInteger(json::requiredMember(document, "version"), "version");
        content = decodeContent(json::requiredMember(document, contentKey));
    } catch (const json::DecodingError&) {
        throw EnumeratedError<ErrorCase>(invalidData);
    } catch (const nlohmann::json::exception&) {
        throw EnumeratedError<ErrorCase>(invalidData);
    }
    if (version != currentVersion) throw EnumeratedError<ErrorCase>(unsupportedVersion);
    return std::move(*content);
}

// What an empty (0-byte) file holds: nothing, as when there is no file, or a document that does not decode.
enum class EmptyFile { holdsNothing, isInvalid };

// The decoded content of the file, or nothing when there is no file (or, with EmptyFile::holdsNothing, an empty one).
// A file that cannot be read or decoded, is not a regular file or is larger than maximumFileSize throws
// EnumeratedError(invalidData); a document of another version, once it has decoded in full,
// EnumeratedError(unsupportedVersion). Never changes the file.
template <typename ErrorCase, typename DecodeContent>
auto read(const std::filesystem::path& file, std::string_view contentKey, ErrorCase invalidData,
          ErrorCase unsupportedVersion, DecodeContent decodeContent, EmptyFile emptyFile = EmptyFile::isInvalid)
    -> std::optional<std::invoke_result_t<DecodeContent, const nlohmann::json&>>
{
    std::optional<std::string> bytes;
    try {
        bytes = storedfile::readIfPresent(file, maximumFileSize);
    } catch (const std::system_error&) {
        throw EnumeratedError<ErrorCase>(invalidData);
    }
    if (!bytes || (bytes->empty() && emptyFile == EmptyFile::holdsNothing)) return std::nullopt;
    return decode(*bytes, contentKey, invalidData, unsupportedVersion, decodeContent);
}

// The compact text of {"version": 1, "<content key>": content}. Throws json::EncodingError.
inline std::string encode(std::string_view contentKey, nlohmann::json content)
{
    nlohmann::json document = nlohmann::json::object();
    document["version"] = currentVersion;
    document[std::string(contentKey)] = std::move(content);
    return json::writeDocument(document);
}

}  // namespace tilvane::versionedfile
