#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace tilvane {

// Writes a file beside its destination and puts it in place only when it is complete: until commit()
// succeeds the destination keeps its old content. Where the file system allows it the file is written
// without any name (Linux O_TMPFILE), so a process killed while writing leaves nothing behind; it gets
// its name only once it is complete and on disk. Elsewhere it is written under `temporaryName`, which the
// writer removes when it is destroyed uncommitted. A file that replaces an existing one takes over its
// permissions (and its owner and group where the process may set them).
class AtomicFileWriter {
public:
    // How the file is held while it is being written.
    enum class Staging {
        unnamedWherePossible,  // no name at all, falling back to `named` where the file system refuses
        named,                 // under the temporary name from the start
    };

    // Opens the file in the destination's folder; `temporaryName` must not exist yet. Throws
    // std::system_error when the file cannot be created.
    AtomicFileWriter(std::filesystem::path destination, const std::string& temporaryName,
                     Staging staging = Staging::unnamedWherePossible);
    ~AtomicFileWriter();

    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Whether the file being written has no name.
    bool isUnnamed() const noexcept { return unnamed_; }

    // Appends bytes; throws std::system_error, also once the file has been synced.
    void write(std::span<const std::uint8_t> bytes);

    // Flushes the written bytes to the disk and ends the writing; throws std::system_error.
    void sync();

    // Syncs if not yet done, puts the file in place over the destination, then flushes the folder so
    // that the new name survives a crash. An unnamed file is linked as the destination when none exists;
    // otherwise it is linked under the temporary name and at once renamed over the destination, the only
    // moment a name of its own exists. A failure throws std::filesystem::filesystem_error and leaves the
    // destination as it was.
    void commit();

private:
    void placeUnnamed();

    std::filesystem::path destination_;
    std::filesystem::path temporary_;
    int descriptor_ = -1;
    bool unnamed_ = false;
    bool synced_ = false;
    bool committed_ = false;
};

}  // namespace tilvane
