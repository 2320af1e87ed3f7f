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

    // Validates and encodes the session, then replaces the stored one. A stored file whose content does not load
    // (damaged, another version's session, an invalid look) is not lost: it is first moved to the first free
    // unreadableFileURL(n), never replacing a copy kept before. A stored path that is not a regular file (a folder, a
    // FIFO, a device) or a file that the system fails to read is refused with std::system_error and left where it is.
    // Saves and clears of every process are taken one at a time (StoreLock).
    void save(const LastSession& session) const;

    // Where save() keeps the n-th stored file it could not read: "last-session.unreadable.json" beside the file,
    // then "last-session.unreadable-2.json", "last-session.unreadable-3.json"…
    std::filesystem::path unreadableFileURL(unsigned n = 1) const;

    // Deletes the stored session; nothing when there is none. A stored file whose content does not load is not this
    // store's to forget and stays where it is; what save() refuses, clear() refuses too.
    void clear() const;

    // Quitting keeps the session, closing only the window forgets it: save when terminating with a
    // session, clear in every other case.
    void finishWindow(bool isTerminating, const std::optional<LastSession>& session) const;

private:
    StoreLocation location_;
};

}  // namespace tilvane
