#include "TilvanePresets/DocumentCoding.hpp"

namespace tilvane::json {

nlohmann::json parseDocument(std::string_view bytes)
{
    // The parser takes a NUL byte for the end of the input; JSON allows none anywhere.
    if (bytes.find('\0') != std::string_view::npos) {
        throw DecodingError("O documento contém um byte nulo.");
    }
    try {
        return nlohmann::json::parse(bytes.begin(), bytes.end());
    } catch (const nlohmann::json::exception& error) {
        throw DecodingError(std::string("O documento não é um JSON válido: ") + error.what());
    }
}

std::string writeDocument(const nlohmann::json& document, int indent)
{
    try {
        return document.dump(indent);
    } catch (const nlohmann::json::exception&) {
        throw EncodingError("Um texto do documento não está em UTF-8 válido.");
    }
}

const nlohmann::json& requireArray(const nlohmann::json& value, std::string_view key)
{
    if (!value.is_array()) {
        throw DecodingError("\"" + std::string(key) + "\" deve ser uma lista.");
    }
    return value;
}

}  // namespace tilvane::json
