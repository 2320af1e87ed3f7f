#include "TilvanePresets/LastSession.hpp"

#include "TilvanePresets/UnicodeText.hpp"

#include <cmath>

namespace tilvane {

const char* message(LastSessionErrorCase errorCase) noexcept
{
    switch (errorCase) {
    case LastSessionErrorCase::unsupportedVersion:
        return "A sessão foi salva por outra versão do Tilvane. O arquivo foi preservado.";
    case LastSessionErrorCase::invalidData:
        return "A última sessão do Tilvane está inválida. O arquivo foi preservado.";
    }
    return "Erro desconhecido da última sessão.";
}

namespace {

constexpr std::size_t maximumPresetIDLength = 256;

bool hasValidPresetID(const std::optional<std::string>& presetID)
{
    if (!presetID) return true;
    const auto length = text::userPerceivedCharacterCount(*presetID);
    return length && *length <= maximumPresetIDLength;
}

}  // namespace

void LastSession::validate() const
{
    const bool valid = imageURL.isFileURL() && !imageURL.path().empty()
                       && (maxDimension == 1024 || maxDimension == 2048 || maxDimension == 4096) && compareFraction >= 0
                       && compareFraction <= 1 && hasValidPresetID(selectedPresetID);
    if (!valid) throw LastSessionError(LastSessionErrorCase::invalidData);
    visual.validate();
}

LastSession LastSession::fromJson(const nlohmann::json& object)
{
    json::requireObject(object, "A sessão");
    const std::string urlText = json::toString(json::requiredMember(object, "imageURL"), "imageURL");
    const auto url = Url::parse(urlText);
    if (!url) throw json::DecodingError("\"imageURL\" não é um endereço válido.");
    std::optional<std::string> presetID;
    if (const auto* member = json::optionalMember(object, "selectedPresetID")) {
        presetID = json::toString(*member, "selectedPresetID");
    }
    return LastSession{*url, VisualSettings::fromJson(json::requiredMember(object, "visual")), std::move(presetID),
                       json::toInteger(json::requiredMember(object, "maxDimension"), "maxDimension"),
                       json::toDouble(json::requiredMember(object, "compareFraction"), "compareFraction")};
}

nlohmann::json toJson(const LastSession& session)
{
    if (!std::isfinite(session.compareFraction)) {
        throw json::EncodingError("\"compareFraction\" não é um número finito.");
    }
    nlohmann::json object{{"imageURL", session.imageURL.string()},
                          {"visual", toJson(session.visual)},
                          {"maxDimension", session.maxDimension},
                          {"compareFraction", session.compareFraction}};
    if (session.selectedPresetID) object["selectedPresetID"] = *session.selectedPresetID;
    return object;
}

}  // namespace tilvane
