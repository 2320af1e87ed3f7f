#include "TilvanePresets/LastSessionStore.hpp"

#include "TilvanePresets/DocumentCoding.hpp"
#include "TilvanePresets/StoredFile.hpp"

#include <cstdint>
#include <system_error>

namespace tilvane {
namespace {

constexpr std::int64_t fileVersion = 1;

[[noreturn]] void refuse(LastSessionErrorCase errorCase) { throw LastSessionError(errorCase); }

struct SessionDocument {
    std::int64_t version = 0;
    std::optional<LastSession> session;
};

SessionDocument decodeDocument(std::string_view bytes)
{
    const nlohmann::json object = json::parseDocument(bytes);
    json::requireObject(object, "O arquivo da sessão");
    return SessionDocument{json::toInteger(json::requiredMember(object, "version"), "version"),
                           LastSession::fromJson(json::requiredMember(object, "session"))};
}

}  // namespace

LastSessionStore::LastSessionStore(std::optional<std::filesystem::path> fileURL)
    : location_(std::move(fileURL), defaultFileName)
{
}

std::optional<LastSession> LastSessionStore::load() const
{
    std::optional<std::string> bytes;
    try {
        bytes = storedfile::readIfPresent(location_.requireFileURL());
    } catch (const std::system_error&) {
        refuse(LastSessionErrorCase::invalidData);
    }
    if (!bytes) return std::nullopt;

    SessionDocument document;
    try {
        document = decodeDocument(*bytes);
    } catch (const json::DecodingError&) {
        refuse(LastSessionErrorCase::invalidData);
    } catch (const nlohmann::json::exception&) {
        refuse(LastSessionErrorCase::invalidData);
    }
    if (document.version != fileVersion) refuse(LastSessionErrorCase::unsupportedVersion);
    document.session->validate();
    return document.session;
}

void LastSessionStore::save(const LastSession& session) const
{
    const auto& file = location_.requireFileURL();
    session.validate();
    const nlohmann::json document{{"version", fileVersion}, {"session", toJson(session)}};
    storedfile::writeAtomically(file, json::writeDocument(document));
}

void LastSessionStore::clear() const { storedfile::removeIfPresent(location_.requireFileURL()); }

void LastSessionStore::finishWindow(bool isTerminating, const std::optional<LastSession>& session) const
{
    if (isTerminating && session) {
        save(session.value());
    } else {
        clear();
    }
}

}  // namespace tilvane
