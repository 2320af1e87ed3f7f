#pragma once

#include <QString>

namespace veldran {

// Extracts a tar (optionally compressed) or zip archive into destination, an existing folder.
// Only folders, regular files and links are accepted; an absolute path, a ".." component, a link
// whose target leaves destination, or a write through an extracted symbolic link refuses the
// whole archive with UpdateError(unsafeArchiveEntry) before that entry is written; a symbolic link
// that, once everything is written, resolves outside destination (or nowhere) refuses it too. A
// damaged archive throws UpdateError(malformedArchive). The caller removes destination after a
// failure.
void extractArchive(const QString& archivePath, const QString& destination);

// Throws UpdateError(unsafeArchiveEntry) when a symbolic link anywhere below folder resolves to a
// place outside folder, or nowhere (dangling or looping).
void requireLinksResolveInside(const QString& folder);

}  // namespace veldran
