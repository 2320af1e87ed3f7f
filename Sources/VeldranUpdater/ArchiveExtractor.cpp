#include "VeldranUpdater/ArchiveExtractor.hpp"

#include "VeldranUpdater/UpdateError.hpp"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>

namespace veldran {
namespace {

constexpr size_t readBlockSize = 64 * 1024;

struct ReaderDeleter {
    void operator()(archive* reader) const { archive_read_free(reader); }
};
struct WriterDeleter {
    void operator()(archive* writer) const { archive_write_free(writer); }
};
using Reader = std::unique_ptr<archive, ReaderDeleter>;
using Writer = std::unique_ptr<archive, WriterDeleter>;

[[noreturn]] void refuse(UpdateErrorCase errorCase)
{
    throw UpdateError(errorCase);
}

// The components of a relative path inside the destination, with "." and empty components
// dropped; refuses absolute paths and "..".
QStringList containedComponents(const QString& path)
{
    if (path.isEmpty() || path.startsWith(u'/')) {
        refuse(UpdateErrorCase::unsafeArchiveEntry);
    }
    QStringList components;
    for (const QString& component : path.split(u'/', Qt::SkipEmptyParts)) {
        if (component == u"..") {
            refuse(UpdateErrorCase::unsafeArchiveEntry);
        }
        if (component != u".") {
            components.append(component);
        }
    }
    return components;
}

// A symbolic link's target, read from the folder that holds the link, must stay inside the
// destination.
void requireContainedLinkTarget(const QStringList& linkComponents, const QString& target)
{
    if (target.isEmpty() || target.startsWith(u'/')) {
        refuse(UpdateErrorCase::unsafeArchiveEntry);
    }
    qsizetype depth = linkComponents.size() - 1;
    for (const QString& component : target.split(u'/', Qt::SkipEmptyParts)) {
        if (component == u"..") {
            if (--depth < 0) {
                refuse(UpdateErrorCase::unsafeArchiveEntry);
            }
        } else if (component != u".") {
            ++depth;
        }
    }
}

// Where path finally leads, every symbolic link followed; empty when it leads nowhere (a dangling
// link, a loop, or any other reason the system cannot resolve it).
QString resolvedPath(const QString& path)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(QFile::encodeName(path).constData(), nullptr),
                                                               &std::free);
    return resolved ? QFile::decodeName(resolved.get()) : QString();
}

bool isInside(const QString& root, const QString& canonicalPath)
{
    return !canonicalPath.isEmpty() && (canonicalPath == root || canonicalPath.startsWith(root + u'/'));
}

// Rewrites entry so that it lands below destination, or refuses it.
void placeEntry(archive_entry* entry, const QString& destination)
{
    const QString path = QString::fromUtf8(archive_entry_pathname_utf8(entry));
    const QStringList components = containedComponents(path);
    if (components.isEmpty()) {
        refuse(UpdateErrorCase::unsafeArchiveEntry);
    }
    const mode_t type = archive_entry_filetype(entry);
    const char* hardlink = archive_entry_hardlink_utf8(entry);
    if (hardlink != nullptr) {
        const QStringList target = containedComponents(QString::fromUtf8(hardlink));
        if (target.isEmpty()) {
            refuse(UpdateErrorCase::unsafeArchiveEntry);
        }
        archive_entry_set_hardlink_utf8(entry, (destination + u'/' + target.join(u'/')).toUtf8().constData());
    } else if (type == AE_IFLNK) {
        requireContainedLinkTarget(components, QString::fromUtf8(archive_entry_symlink_utf8(entry)));
    } else if (type != AE_IFREG && type != AE_IFDIR) {
        refuse(UpdateErrorCase::unsafeArchiveEntry);
    }
    archive_entry_set_pathname_utf8(entry, (destination + u'/' + components.join(u'/')).toUtf8().constData());
    // No set-user-id, set-group-id or sticky bits from an archive, and no folder its owner cannot
    // empty: the staging folder, or the bundle this one replaces later, must always be removable.
    const mode_t ownerAccess = type == AE_IFDIR ? 0700 : 0;
    archive_entry_set_perm(entry, (archive_entry_perm(entry) & 0777) | ownerAccess);
}

// What an archive has written so far, against what it may write.
class ExtractionBudget {
public:
    ExtractionBudget(const ExtractionLimits& limits, qint64 archiveBytes)
        : entriesLeft_(limits.maximumEntries),
          bytesLeft_(
              std::min(limits.maximumBytes, limits.maximumBytesPerArchiveByte * std::max<qint64>(archiveBytes, 0)))
    {
    }

    void spendEntry()
    {
        if (--entriesLeft_ < 0) {
            refuse(UpdateErrorCase::malformedArchive);
        }
    }

    // Refuses a file whose length (holes included, so that a sparse entry counts too) does not fit
    // in what is left; checked as the file grows, spent once it is complete.
    void requireRoomFor(qint64 length) const
    {
        if (length < 0 || length > bytesLeft_) {
            refuse(UpdateErrorCase::malformedArchive);
        }
    }
    void spendFileLength(qint64 length) { bytesLeft_ -= length; }

private:
    qint64 entriesLeft_;
    qint64 bytesLeft_;
};

void copyData(archive* reader, archive* writer, ExtractionBudget& budget)
{
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    qint64 length = 0;
    for (;;) {
        const int status = archive_read_data_block(reader, &block, &size, &offset);
        if (status == ARCHIVE_EOF) {
            budget.spendFileLength(length);
            return;
        }
        if (status < ARCHIVE_WARN) {
            refuse(UpdateErrorCase::malformedArchive);
        }
        if (offset < 0 || size > size_t(std::numeric_limits<qint64>::max() - offset)) {
            refuse(UpdateErrorCase::malformedArchive);
        }
        length = std::max(length, qint64(offset) + qint64(size));
        budget.requireRoomFor(length);
        if (archive_write_data_block(writer, block, size, offset) < ARCHIVE_WARN) {
            refuse(UpdateErrorCase::malformedArchive);
        }
    }
}

}  // namespace

void extractArchive(const QString& archivePath, const QString& destination, const ExtractionLimits& limits)
{
    // Resolved once, so that the symbolic-link guard below only ever meets links from the archive.
    const QString root = QDir(destination).canonicalPath();
    if (root.isEmpty()) {
        refuse(UpdateErrorCase::stagingUnavailable);
    }
    Reader reader(archive_read_new());
    Writer writer(archive_write_disk_new());
    if (!reader || !writer) {
        refuse(UpdateErrorCase::malformedArchive);
    }
    archive_read_support_filter_all(reader.get());
    archive_read_support_format_tar(reader.get());
    archive_read_support_format_gnutar(reader.get());
    archive_read_support_format_zip(reader.get());
    // Paths are made absolute below destination by placeEntry, which has already refused
    // absolute and ".." paths; libarchive refuses ".." and writing through symbolic links again.
    archive_write_disk_set_options(writer.get(), ARCHIVE_EXTRACT_SECURE_NODOTDOT | ARCHIVE_EXTRACT_SECURE_SYMLINKS
                                                     | ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_TIME);
    if (archive_read_open_filename(reader.get(), QFile::encodeName(archivePath).constData(), readBlockSize)
        != ARCHIVE_OK) {
        refuse(UpdateErrorCase::malformedArchive);
    }
    ExtractionBudget budget(limits, QFileInfo(archivePath).size());
    archive_entry* entry = nullptr;
    int entryCount = 0;
    for (;;) {
        const int status = archive_read_next_header(reader.get(), &entry);
        if (status == ARCHIVE_EOF) {
            break;
        }
        if (status != ARCHIVE_OK) {
            refuse(UpdateErrorCase::malformedArchive);
        }
        budget.spendEntry();
        if (archive_entry_size_is_set(entry) != 0) {
            budget.requireRoomFor(archive_entry_size(entry));  // refused before anything is written
        }
        placeEntry(entry, root);
        if (archive_write_header(writer.get(), entry) < ARCHIVE_WARN) {
            refuse(UpdateErrorCase::unsafeArchiveEntry);
        }
        if (archive_entry_size(entry) > 0) {
            copyData(reader.get(), writer.get(), budget);
        }
        if (archive_write_finish_entry(writer.get()) < ARCHIVE_WARN) {
            refuse(UpdateErrorCase::malformedArchive);
        }
        ++entryCount;
    }
    if (archive_write_close(writer.get()) != ARCHIVE_OK || entryCount == 0) {
        refuse(UpdateErrorCase::malformedArchive);
    }
    // The textual check of each symbolic link cannot see the links its target passes through, nor
    // links that come later in the archive.
    requireLinksResolveInside(root);
}

void requireLinksResolveInside(const QString& folder)
{
    const QString root = QDir(folder).canonicalPath();
    if (root.isEmpty()) {
        refuse(UpdateErrorCase::unsafeArchiveEntry);
    }
    QDirIterator entries(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QFileInfo entry = entries.nextFileInfo();
        if (entry.isSymLink() && !isInside(root, resolvedPath(entry.filePath()))) {
            refuse(UpdateErrorCase::unsafeArchiveEntry);
        }
    }
}

}  // namespace veldran
