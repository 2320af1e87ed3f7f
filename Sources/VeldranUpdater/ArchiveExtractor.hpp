#pragma once

#include <QString>

#include <QtGlobal>

namespace veldran {

// How much an archive may write: far above any real build of the application, and in proportion to
// the archive's own size, so that a small archive cannot fill the disk.
struct ExtractionLimits {
    qint64 maximumBytes = qint64(4) * 1024 * 1024 * 1024;
    qint64 maximumBytesPerArchiveByte = 100;
    qint64 maximumEntries = 200'000;
};

// Extracts a tar (optionally compressed) or zip archive into destination, an existing folder.
// Only folders, regular files and links are accepted; an absolute path, a ".." component, a link
// whose target leaves destination, or a write through an extracted symbolic link refuses the
// whole archive with UpdateError(unsafeArchiveEntry) before that entry is written; a symbolic link
// that, once everything is written, resolves outside destination (or nowhere) refuses it too. A
// damaged archive throws UpdateError(malformedArchive), and so does one that would write more
// entries or bytes (a file's length, holes included) than the limits allow. The caller removes
// destination after a failure.
void extractArchive(const QString& archivePath, const QString& destination, const ExtractionLimits& limits = {});

// Throws UpdateError(unsafeArchiveEntry) when a symbolic link anywhere below folder resolves to a
// place outside folder, or nowhere (dangling or looping).
void requireLinksResolveInside(const QString& folder);

}  // namespace veldran
