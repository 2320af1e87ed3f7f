#pragma once

// Reading, replacing and removing the application's own files. Every failure is a
// std::system_error carrying the system's error code and a Portuguese description.

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace tilvane::storedfile {

// A failure whose Portuguese description says all there is to say: what() is that description alone, without the
// system's wording of the code ("Invalid argument" for what is not a regular file), which callers still compare.
class DescribedFailure : public std::system_error {
public:
    DescribedFailure(std::error_code code, std::string description)
        : std::system_error(code, description), description_(std::move(description))
    {
    }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    std::string description_;
};

// The whole file, or nothing when no file exists at `path` (also when a folder on the way is missing).
// Never blocks on what is not a regular file (a FIFO, a device, a folder) and refuses it (a DescribedFailure with
// EINVAL: "Não é um arquivo comum “<path>”"), and refuses a file longer than `maximumBytes` before reading it (EFBIG).
std::optional<std::string> readIfPresent(const std::filesystem::path& path, std::size_t maximumBytes);

// Replaces `path` with `bytes` so that a reader sees either the old file or the new one, never a
// mixture: creates the folder with its parents, writes a hidden temporary file in the same folder,
// flushes it to the disk, renames it over the target and flushes the folder (best effort: the new
// file is already in place then). On failure the old file is untouched and the temporary file is gone;
// a temporary file that cannot be made is told by its folder, so that the same failure reads the same
// every time (its name is random).
// After a success, the temporary files that interrupted writes of the same target left behind are
// removed: regular files of this naming only, and only those untouched for staleTemporaryAge, so a
// write still in progress elsewhere keeps its own.
void writeAtomically(const std::filesystem::path& path, std::string_view bytes);

inline constexpr std::chrono::seconds staleTemporaryAge{60};

// The hidden temporary file name under which writeAtomically writes `target`: ".<name>.<UUID>.tmp".
std::string temporaryNameFor(const std::filesystem::path& target);

// Deletes the file at `path`; nothing when there is none.
void removeIfPresent(const std::filesystem::path& path);

// Whether anything (a file, a folder, a link…) has the name `path`; false also when a folder on the way is missing.
bool isPresent(const std::filesystem::path& path);

// Creates `folder` with its parents; an existing folder is fine.
void createFolder(const std::filesystem::path& folder);

// The n-th name (from 1) under which keepAside keeps `path`: "<stem>.<label><extension>", then
// "<stem>.<label>-2<extension>", "<stem>.<label>-3<extension>"…
std::filesystem::path keptName(const std::filesystem::path& path, std::string_view label, unsigned n);

// Moves the file at `path` to the first of its kept names that nothing has, in one step that never replaces
// anything there, and returns that name; its bytes are not read or changed. Nothing when no file is at `path`
// (any longer: another process may have just moved it).
std::optional<std::filesystem::path> keepAside(const std::filesystem::path& path, std::string_view label);

// A std::system_error with the system's error code, described in Portuguese as `what` and the path.
[[noreturn]] void throwSystemError(int errorNumber, const std::string& what, const std::filesystem::path& path);

}  // namespace tilvane::storedfile
