#include "TilvaneCore/AtomicFileWriter.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace tilvane {

namespace {

[[noreturn]] void throwErrno(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

std::filesystem::path folderOf(const std::filesystem::path& file)
{
    const auto folder = file.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

// Best effort: the rename has already taken effect, so a failure here cannot be undone.
void syncFolder(const std::filesystem::path& folder) noexcept
{
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

// A file that replaces another keeps its permissions, and its owner and group where the process may
// set them, as someone overwriting their own file expects; a new file keeps the mode it was created
// with. Owner first: changing it may clear permission bits.
void takeOverAttributes(const std::filesystem::path& destination, int descriptor) noexcept
{
    struct stat replaced {};
    if (::stat(destination.c_str(), &replaced) != 0 || !S_ISREG(replaced.st_mode)) {
        return;
    }
    if (::fchown(descriptor, replaced.st_uid, replaced.st_gid) != 0) {
        (void)::fchown(descriptor, static_cast<uid_t>(-1), replaced.st_gid);
    }
    (void)::fchmod(descriptor, replaced.st_mode & 0777);
}

// A file opened with O_TMPFILE is linked by this path: linkat's AT_EMPTY_PATH would need a privilege.
std::string descriptorPath(int descriptor)
{
    return "/proc/self/fd/" + std::to_string(descriptor);
}

// A file without a name in the folder, or -1 where the file system or the kernel has none to give or
// /proc, through which it would later be named, is missing.
int openUnnamed(const std::filesystem::path& folder)
{
    const int descriptor = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return -1;
    }
    if (::access(descriptorPath(descriptor).c_str(), F_OK) != 0) {
        ::close(descriptor);
        return -1;
    }
    return descriptor;
}

[[noreturn]] void throwFilesystemError(const char* what, const std::filesystem::path& path)
{
    const std::error_code code(errno, std::generic_category());
    throw std::filesystem::filesystem_error(what, path, code);
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path destination, const std::string& temporaryName, Staging staging)
    : destination_(std::move(destination)), temporary_(folderOf(destination_) / temporaryName)
{
    if (staging == Staging::unnamedWherePossible) {
        descriptor_ = openUnnamed(folderOf(destination_));
        unnamed_ = descriptor_ >= 0;
    }
    if (!unnamed_) {
        descriptor_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor_ < 0) {
            throwErrno("cannot create the temporary file");
        }
    }
    takeOverAttributes(destination_, descriptor_);
}

AtomicFileWriter::~AtomicFileWriter()
{
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
    if (!committed_) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
    }
}

void AtomicFileWriter::write(std::span<const std::uint8_t> bytes)
{
    if (descriptor_ < 0 || synced_) {
        throw std::system_error(EBADF, std::generic_category(), "the temporary file is closed");
    }
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            throwErrno("cannot write the temporary file");
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
}

void AtomicFileWriter::sync()
{
    if (descriptor_ < 0 || synced_) {
        return;
    }
    if (::fsync(descriptor_) != 0) {
        throwErrno("cannot flush the temporary file");
    }
    synced_ = true;
    // An unnamed file stays open: it can be given a name only through its descriptor.
    if (unnamed_) {
        return;
    }
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (::close(descriptor) != 0) {
        throwErrno("cannot close the temporary file");
    }
}

void AtomicFileWriter::commit()
{
    sync();
    if (unnamed_) {
        placeUnnamed();
    } else {
        std::filesystem::rename(temporary_, destination_);
    }
    committed_ = true;
    syncFolder(folderOf(destination_));
}

void AtomicFileWriter::placeUnnamed()
{
    const std::string self = descriptorPath(descriptor_);
    const auto linkAs = [&](const std::filesystem::path& name) {
        return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
    };
    if (!linkAs(destination_)) {
        if (errno != EEXIST) {
            throwFilesystemError("cannot put the file in place", destination_);
        }
        // An existing destination is replaced in one step by a rename, which needs a name to move.
        if (!linkAs(temporary_)) {
            throwFilesystemError("cannot name the file", temporary_);
        }
        std::filesystem::rename(temporary_, destination_);
    }
    // The bytes are on disk already; closing cannot lose them.
    ::close(descriptor_);
    descriptor_ = -1;
}

}  // namespace tilvane
