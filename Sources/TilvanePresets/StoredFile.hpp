#pragma once

// Reading, replacing and removing the application's own files. Every failure is a
// std::system_error carrying the system's error code and a Portuguese description.

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tilvane::storedfile {

// The whole file, or nothing when no file exists at `path` (also when a folder on the way is missing).
// Never blocks on what is not a regular file (a FIFO, a device, a folder) and refuses it, and refuses
// a file longer than `maximumBytes` before reading it (EFBIG).
std::optional<std::string> readIfPresent(const std::filesystem::path& path, std::size_t maximumBytes);

// Replaces `path` with `bytes` so that a reader sees either the old file or the new one, never a
// mixture: creates the folder with its parents, writes a hidden temporary file in the same folder,
// flushes it to the disk, renames it over the target and flushes the folder (best effort: the new
// file is already in place then). On failure the old file is untouched and the temporary file is gone.
// After a success, the temporary files that interrupted writes of the same target left behind are
// removed: regular files of this naming only, and only those untouched for staleTemporaryAge, so a
// write still in progress elsewhere keeps its own.
void writeAtomically(const std::filesystem::path& path, std::string_view bytes);

inline constexpr std::chrono::seconds staleTemporaryAge{60};

// The hidden temporary file name under which writeAtomically writes `target`: ".<name>.<UUID>.tmp".
std::string temporaryNameFor(const std::filesystem::path& target);

// Deletes the file at `path`; nothing when there is none.
void removeIfPresent(const std::filesystem::path& path);

// Gives the file at `from` the name `to` in one step, replacing a file there; its bytes are not read or changed.
void rename(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace tilvane::storedfile
