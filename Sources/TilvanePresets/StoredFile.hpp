#pragma once

// Reading, replacing and removing the application's own files. Every failure is a
// std::system_error carrying the system's error code and a Portuguese description.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tilvane::storedfile {

// The whole file, or nothing when no file exists at `path` (also when a folder on the way is missing).
std::optional<std::string> readIfPresent(const std::filesystem::path& path);

// Replaces `path` with `bytes` so that a reader sees either the old file or the new one, never a
// mixture: creates the folder with its parents, writes a hidden temporary file in the same folder,
// flushes it to the disk, renames it over the target and flushes the folder (best effort: the new
// file is already in place then). On failure the old file is untouched and the temporary file is gone.
void writeAtomically(const std::filesystem::path& path, std::string_view bytes);

// Deletes the file at `path`; nothing when there is none.
void removeIfPresent(const std::filesystem::path& path);

}  // namespace tilvane::storedfile
