#include "TilvaneCore/AtomicFileWriter.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path destination, const std::string& temporaryName)
    : destination_(std::move(destination)), temporary_(folderOf(destination_) / temporaryName)
{
    descriptor_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor_ < 0) {
        throwErrno("cannot create the temporary file");
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
    if (descriptor_ < 0) {
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
    if (descriptor_ < 0) {
        return;
    }
    if (::fsync(descriptor_) != 0) {
        throwErrno("cannot flush the temporary file");
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
    std::filesystem::rename(temporary_, destination_);
    committed_ = true;
    syncFolder(folderOf(destination_));
}

}  // namespace tilvane
