#include "TilvanePresets/LastSessionStore.hpp"

#include "TilvanePresets/StoreLock.hpp"
#include "TilvanePresets/StoredFile.hpp"
#include "TilvanePresets/VersionedFile.hpp"

#include <cerrno>
#include <new>
#include <string>
#include <system_error>

namespace tilvane {
namespace {

constexpr std::string_view contentKey = "session";
constexpr std::string_view unreadableLabel = "unreadable";

enum class StoredContent {
    none,
    session,     // loads
    unreadable,  // does not decode, holds another version, an invalid session or look, or is too large to be one
};

// What a save or clear finds at the file, read under the lock. Refuses (std::system_error) what is not a regular
// file and a read that the system fails, for want of memory too: the file is then left where it is.
StoredContent inspect(const std::filesystem::path& file)
try {
    std::optional<std::string> bytes;
    try {
        bytes = storedfile::readIfPresent(file, versionedfile::maximumFileSize);
    } catch (const std::system_error& error) {
        // Too large to be a session: its content is what cannot be read. Every other failure is refused.
        if (error.code() == std::errc::file_too_large) return StoredContent::unreadable;
        throw;
    }
    if (!bytes) return StoredContent::none;
    try {
        versionedfile::decode(*bytes, contentKey, LastSessionErrorCase::invalidData,
                              LastSessionErrorCase::unsupportedVersion, LastSession::fromJson)
            .validate();
    } catch (const LastSessionError&) {
        return StoredContent::unreadable;
    } catch (const PersonalPresetError&) {
        return StoredContent::unreadable;
    }
    return StoredContent::session;
} catch (const std::bad_alloc&) {
    storedfile::throwSystemError(ENOMEM, "Não foi possível ler o arquivo", file);
}

}  // namespace

LastSessionStore::LastSessionStore(std::optional<std::filesystem::path> fileURL)
    : location_(std::move(fileURL), defaultFileName)
{
}

std::optional<LastSession> LastSessionStore::load() const
{
    auto session = versionedfile::read(location_.requireFileURL(), contentKey, LastSessionErrorCase::invalidData,
                                       LastSessionErrorCase::unsupportedVersion, LastSession::fromJson);
    if (session) session->validate();
    return session;
}

void LastSessionStore::save(const LastSession& session) const
{
    const auto& file = location_.requireFileURL();
    session.validate();
    const std::string document = versionedfile::encode(contentKey, toJson(session));
    storedfile::createFolder(file.parent_path());
    const StoreLock lock(file);
    if (inspect(file) == StoredContent::unreadable) storedfile::keepAside(file, unreadableLabel);
    storedfile::writeAtomically(file, document);
}

std::filesystem::path LastSessionStore::unreadableFileURL(unsigned n) const
{
    return storedfile::keptName(location_.requireFileURL(), unreadableLabel, n);
}

void LastSessionStore::clear() const
{
    const auto& file = location_.requireFileURL();
    if (!storedfile::isPresent(file)) return;
    const StoreLock lock(file);
    if (inspect(file) == StoredContent::session) storedfile::removeIfPresent(file);
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
