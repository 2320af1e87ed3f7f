#pragma once

// Parsing and writing whole JSON documents with the strict rules of TilvaneCore/JsonCoding.hpp:
// every failure is a json::DecodingError or json::EncodingError, never a library exception.

#include "TilvaneCore/JsonCoding.hpp"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace tilvane::json {

// The document in `bytes` (UTF-8 JSON, nothing after it). Throws DecodingError.
nlohmann::json parseDocument(std::string_view bytes);

// Compact text, or indented by `indent` spaces per level; the keys of every object sorted.
// Throws EncodingError for text that is not valid UTF-8.
std::string writeDocument(const nlohmann::json& document, int indent = -1);

// The array at `value`, or DecodingError naming `key`.
const nlohmann::json& requireArray(const nlohmann::json& value, std::string_view key);

}  // namespace tilvane::json
