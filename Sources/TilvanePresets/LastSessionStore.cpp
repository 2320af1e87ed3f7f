#include "TilvanePresets/LastSessionStore.hpp"

#include "TilvanePresets/StoredFile.hpp"
#include "TilvanePresets/VersionedFile.hpp"

#include <exception>

namespace tilvane {

LastSessionStore::LastSessionStore(std::optional<std::filesystem::path> fileURL)
    : location_(std::move(fileURL), defaultFileName)
{
}

std::optional<LastSession> LastSessionStore::load() const
{
    auto session = versionedfile::read(location_.requireFileURL(), "session", LastSessionErrorCase::invalidData,
                                       LastSessionErrorCase::unsupportedVersion, LastSession::fromJson);
    if (session) session->validate();
    return session;
}

void LastSessionStore::save(const LastSession& session) const
{
    const auto& file = location_.requireFileURL();
    session.validate();
    try {
        load();
    } catch (const std::exception&) {
        storedfile::rename(file, unreadableFileURL());
    }
    versionedfile::write(file, "session", toJson(session));
}

std::filesystem::path LastSessionStore::unreadableFileURL() const
{
    const auto& file = location_.requireFileURL();
    auto kept = file;
    kept.replace_filename(file.stem().string() + ".unreadable" + file.extension().string());
    return kept;
}

void LastSessionStore::clear() const
{
    storedfile::removeIfPresent(location_.requireFileURL());
}

void LastSessionStore::finishWindow(bool isTerminating, const std::optional<LastSession>& session) const
{
    if (isTerminating && session) {
        save(session.value());
    } else {
        clear();
    }
}

}  // namespace tilvane
