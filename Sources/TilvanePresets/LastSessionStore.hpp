#pragma once

#include "TilvanePresets/LastSession.hpp"
#include "TilvanePresets/StoreLocation.hpp"

#include <filesystem>
#include <optional>
#include <string_view>

namespace tilvane {

// The last session in one versioned JSON file. Keeps no state but the file's location.
//
// Errors: LastSessionError and PersonalPresetError (the look) for refused data; std::system_error
// for a folder or file that cannot be written or removed; SupportDirectoryError when the store was
// created without a file and no support folder could be found.
class LastSessionStore {
public:
    static constexpr std::string_view defaultFileName = "last-session.json";

    // With no file, "last-session.json" in the support folder as it is now. Reads nothing.
    explicit LastSessionStore(std::optional<std::filesystem::path> fileURL = std::nullopt);

    // The file; empty when no support folder could be found.
    const std::filesystem::path& fileURL() const { return location_.fileURL(); }

    // The stored session, or nothing when there is no file. A file that cannot be read or decoded
    // gives invalidData, another version unsupportedVersion (once the whole file has decoded), and
    // the session's own validation its error. The file is never changed by loading.
    std::optional<LastSession> load() const;

    // Validates the session, then replaces the stored one. A stored file that does not load (another version's
    // session, or one that is damaged) is not lost: it is first renamed to unreadableFileURL(), replacing a file
    // kept there before.
    void save(const LastSession& session) const;

    // Where save() keeps a stored file it could not read: "last-session.unreadable.json" beside the file.
    std::filesystem::path unreadableFileURL() const;

    // Deletes the stored session; nothing when there is none.
    void clear() const;

    // Quitting keeps the session, closing only the window forgets it: save when terminating with a
    // session, clear in every other case.
    void finishWindow(bool isTerminating, const std::optional<LastSession>& session) const;

private:
    StoreLocation location_;
};

}  // namespace tilvane
