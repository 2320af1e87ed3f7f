#include "TilvanePresets/PersonalPresetTransfer.hpp"

#include "TilvanePresets/DocumentCoding.hpp"
#include "TilvanePresets/StoredFile.hpp"
#include "TilvanePresets/UnicodeText.hpp"
#include "TilvaneShaders/Model/EffectIdentifier.hpp"

#include <cstdint>
#include <system_error>

namespace tilvane {
namespace {

struct TransferDocument {
    std::string kind;
    std::int64_t version = 0;
    std::string name;
    VisualSettings visual;
};

TransferDocument decodeDocument(std::string_view data)
{
    const nlohmann::json object = json::parseDocument(data);
    json::requireObject(object, "O documento do preset");
    return TransferDocument{json::toString(json::requiredMember(object, "kind"), "kind"),
                            json::toInteger(json::requiredMember(object, "version"), "version"),
                            json::toString(json::requiredMember(object, "name"), "name"),
                            VisualSettings::fromJson(json::requiredMember(object, "visual"))};
}

[[noreturn]] void refuse(PersonalPresetErrorCase errorCase)
{
    throw PersonalPresetError(errorCase);
}

// Enough of an effect's name to tell which one it is; a document may hold one as long as itself.
constexpr std::size_t shownEffectNameLength = 40;

void requireKnownEffects(const VisualSettings& visual)
{
    if (!visual.shader) return;
    for (const auto& pass : visual.shader->passes) {
        if (!effect::isKnown(pass.effect)) throw UnknownEffectError(pass.effect);
    }
}

}  // namespace

UnknownEffectError::UnknownEffectError(std::string_view effect)
    : message_("O preset usa o efeito “" + text::elidedInTheMiddle(effect, shownEffectNameLength)
               + "”, que esta versão do Tilvane não conhece.")
{
}

std::string PersonalPresetTransfer::encode(const PersonalPreset& preset)
{
    if (text::trimmingWhitespace(preset.name).empty() || !text::isValidUtf8(preset.name)) {
        refuse(PersonalPresetErrorCase::invalidData);
    }
    preset.visual.validate();
    const nlohmann::json document{
        {"kind", kind}, {"version", 1}, {"name", preset.name}, {"visual", toJson(preset.visual)}};
    std::string data = json::writeDocument(document, 2);
    if (data.size() > maximumDocumentSize) refuse(PersonalPresetErrorCase::invalidData);
    return data;
}

PersonalPreset PersonalPresetTransfer::decode(std::string_view data)
{
    if (data.size() > maximumDocumentSize) refuse(PersonalPresetErrorCase::invalidData);
    TransferDocument document;
    try {
        document = decodeDocument(data);
    } catch (const json::DecodingError&) {
        refuse(PersonalPresetErrorCase::invalidData);
    } catch (const nlohmann::json::exception&) {
        refuse(PersonalPresetErrorCase::invalidData);
    }
    if (document.kind != kind) refuse(PersonalPresetErrorCase::invalidData);
    if (document.version != 1) refuse(PersonalPresetErrorCase::unsupportedVersion);
    std::string name = text::trimmingWhitespace(document.name);
    if (name.empty()) refuse(PersonalPresetErrorCase::invalidData);
    document.visual.validate();
    requireKnownEffects(document.visual);
    return PersonalPreset{Uuid::random(), std::move(name), std::move(document.visual)};
}

std::string PersonalPresetTransfer::readDocument(const std::filesystem::path& file)
{
    std::optional<std::string> bytes;
    try {
        bytes = storedfile::readIfPresent(file, maximumDocumentSize);
    } catch (const std::system_error&) {
        refuse(PersonalPresetErrorCase::invalidData);
    }
    if (!bytes) refuse(PersonalPresetErrorCase::invalidData);
    return std::move(*bytes);
}

}  // namespace tilvane
