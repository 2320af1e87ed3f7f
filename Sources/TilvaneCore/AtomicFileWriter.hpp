#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace tilvane {

// Writes a file under a temporary name in its destination's folder and puts it in place only
// when it is complete: until commit() succeeds the destination keeps its old content, and the
// temporary file is removed when the writer is destroyed. A file that replaces an existing one
// takes over its permissions (and its owner and group where the process may set them).
class AtomicFileWriter {
public:
    // Creates `temporaryName` (which must not exist yet) beside the destination.
    // Throws std::system_error when it cannot be created.
    AtomicFileWriter(std::filesystem::path destination, const std::string& temporaryName);
    ~AtomicFileWriter();

    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    const std::filesystem::path& temporaryPath() const noexcept { return temporary_; }

    // Appends bytes; throws std::system_error.
    void write(std::span<const std::uint8_t> bytes);

    // Flushes the written bytes to the disk and closes the file; throws std::system_error.
    void sync();

    // Syncs if still open, renames the temporary file over the destination, then flushes the
    // folder so that the rename itself survives a crash. A failed rename throws
    // std::filesystem::filesystem_error and leaves the destination as it was.
    void commit();

private:
    std::filesystem::path destination_;
    std::filesystem::path temporary_;
    int descriptor_ = -1;
    bool committed_ = false;
};

}  // namespace tilvane
