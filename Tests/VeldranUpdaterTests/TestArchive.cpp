#include "TestArchive.hpp"

#include <archive.h>
#include <archive_entry.h>

#include <sys/sysmacros.h>

#include <stdexcept>

namespace {

la_ssize_t appendToByteArray(archive*, void* buffer, const void* data, size_t size)
{
    static_cast<QByteArray*>(buffer)->append(static_cast<const char*>(data), qsizetype(size));
    return la_ssize_t(size);
}

}  // namespace

TestArchive& TestArchive::file(const QString& path, const QByteArray& content)
{
    entries_.push_back({Kind::file, path, content, {}});
    return *this;
}

TestArchive& TestArchive::folder(const QString& path, int permissions)
{
    entries_.push_back({Kind::folder, path, {}, {}, permissions});
    return *this;
}

TestArchive& TestArchive::symlink(const QString& path, const QString& target)
{
    entries_.push_back({Kind::symlink, path, {}, target});
    return *this;
}

TestArchive& TestArchive::hardlink(const QString& path, const QString& target)
{
    entries_.push_back({Kind::hardlink, path, {}, target});
    return *this;
}

TestArchive& TestArchive::special(const QString& path, unsigned int fileType)
{
    entries_.push_back({Kind::special, path, {}, {}, 0644, fileType});
    return *this;
}

QByteArray TestArchive::bytes() const
{
    QByteArray output;
    archive* writer = archive_write_new();
    archive_write_set_format_pax_restricted(writer);
    archive_write_add_filter_gzip(writer);
    if (archive_write_open(writer, &output, nullptr, appendToByteArray, nullptr) != ARCHIVE_OK) {
        throw std::runtime_error("the test archive could not be opened");
    }
    for (const Entry& entry : entries_) {
        archive_entry* header = archive_entry_new();
        archive_entry_set_pathname_utf8(header, entry.path.toUtf8().constData());
        archive_entry_set_mtime(header, 1'700'000'000, 0);
        switch (entry.kind) {
        case Kind::file:
            archive_entry_set_filetype(header, AE_IFREG);
            archive_entry_set_perm(header, 0755);
            archive_entry_set_size(header, entry.content.size());
            break;
        case Kind::folder:
            archive_entry_set_filetype(header, AE_IFDIR);
            archive_entry_set_perm(header, mode_t(entry.permissions));
            break;
        case Kind::symlink:
            archive_entry_set_filetype(header, AE_IFLNK);
            archive_entry_set_perm(header, 0777);
            archive_entry_set_symlink_utf8(header, entry.target.toUtf8().constData());
            break;
        case Kind::hardlink:
            archive_entry_set_filetype(header, AE_IFREG);
            archive_entry_set_perm(header, 0644);
            archive_entry_set_hardlink_utf8(header, entry.target.toUtf8().constData());
            break;
        case Kind::special:
            archive_entry_set_filetype(header, entry.fileType);
            archive_entry_set_perm(header, mode_t(entry.permissions));
            archive_entry_set_rdev(header, makedev(1, 3));
            break;
        }
        archive_write_header(writer, header);
        if (!entry.content.isEmpty()) {
            archive_write_data(writer, entry.content.constData(), size_t(entry.content.size()));
        }
        archive_entry_free(header);
    }
    archive_write_close(writer);
    archive_write_free(writer);
    return output;
}

TestArchive TestArchive::bundle(const QString& bundleName, const QString& version, const QByteArray& executable)
{
    TestArchive archive;
    archive.folder(bundleName)
        .folder(bundleName + "/bin")
        .file(bundleName + "/bin/tilvane", executable)
        .folder(bundleName + "/Resources")
        .file(bundleName + "/Resources/Info.json",
              QStringLiteral(R"({"CFBundleVersion": "%1"})").arg(version).toUtf8());
    return archive;
}
