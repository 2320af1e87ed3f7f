#pragma once

#include <QByteArray>
#include <QString>

#include <archive.h>
#include <archive_entry.h>
#include <sys/sysmacros.h>

#include <vector>

// Builds a gzip-compressed tar archive in memory, entries written exactly as given (including unsafe paths that a
// real packer would never produce).
class TestArchive {
public:
    TestArchive& file(const QString& path, const QByteArray& content) { return add({path, AE_IFREG, 0755, content}); }
    TestArchive& folder(const QString& path, int permissions = 0755) { return add({path, AE_IFDIR, permissions}); }
    TestArchive& symlink(const QString& path, const QString& to) { return add({path, AE_IFLNK, 0777, {}, to}); }
    TestArchive& hardlink(const QString& path, const QString& to) { return add({path, AE_IFREG, 0644, {}, {}, to}); }
    // A character device, block device or named pipe (AE_IFCHR, AE_IFBLK, AE_IFIFO).
    TestArchive& special(const QString& path, unsigned int fileType) { return add({path, fileType, 0644}); }

    // An update bundle named bundleName with the build number version and one executable file.
    static TestArchive bundle(const QString& bundleName, const QString& version, const QByteArray& executable)
    {
        return TestArchive()
            .folder(bundleName)
            .folder(bundleName + "/bin")
            .folder(bundleName + "/Resources")
            .file(bundleName + "/bin/tilvane", executable)
            .file(bundleName + "/Resources/Info.json",
                  QStringLiteral(R"({"CFBundleVersion": "%1"})").arg(version).toUtf8());
    }

    QByteArray bytes() const
    {
        QByteArray output;
        archive* writer = archive_write_new();
        archive_write_set_format_pax_restricted(writer);
        archive_write_add_filter_gzip(writer);
        archive_write_open(writer, &output, nullptr, append, nullptr);
        for (const Entry& entry : entries_) {
            archive_entry* header = archive_entry_new();
            archive_entry_set_pathname_utf8(header, entry.path.toUtf8().constData());
            archive_entry_set_filetype(header, entry.fileType);
            archive_entry_set_perm(header, mode_t(entry.permissions));
            archive_entry_set_size(header, entry.content.size());
            archive_entry_set_rdev(header, makedev(1, 3));
            if (!entry.symlink.isEmpty()) archive_entry_set_symlink_utf8(header, entry.symlink.toUtf8().constData());
            if (!entry.hardlink.isEmpty()) archive_entry_set_hardlink_utf8(header, entry.hardlink.toUtf8().constData());
            archive_write_header(writer, header);
            archive_write_data(writer, entry.content.constData(), size_t(entry.content.size()));
            archive_entry_free(header);
        }
        archive_write_free(writer);
        return output;
    }

private:
    struct Entry {
        QString path;
        unsigned int fileType = AE_IFREG;
        int permissions = 0644;
        QByteArray content = {};
        QString symlink = {}, hardlink = {};
    };

    static la_ssize_t append(archive*, void* output, const void* data, size_t size)
    {
        static_cast<QByteArray*>(output)->append(static_cast<const char*>(data), qsizetype(size));
        return la_ssize_t(size);
    }

    TestArchive& add(Entry entry) { return entries_.push_back(std::move(entry)), *this; }

    std::vector<Entry> entries_;
};
