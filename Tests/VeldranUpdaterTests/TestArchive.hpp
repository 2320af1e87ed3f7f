#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// Builds a gzip-compressed tar archive in memory, entries written exactly as given (including
// unsafe paths that a real packer would never produce).
class TestArchive {
public:
    TestArchive& file(const QString& path, const QByteArray& content);
    TestArchive& folder(const QString& path, int permissions = 0755);
    TestArchive& symlink(const QString& path, const QString& target);
    TestArchive& hardlink(const QString& path, const QString& target);
    // A character device, block device or named pipe (AE_IFCHR, AE_IFBLK, AE_IFIFO).
    TestArchive& special(const QString& path, unsigned int fileType);

    QByteArray bytes() const;

    // An update bundle named bundleName with the build number version and one executable file.
    static TestArchive bundle(const QString& bundleName, const QString& version, const QByteArray& executable);

private:
    enum class Kind { file, folder, symlink, hardlink, special };
    struct Entry {
        Kind kind;
        QString path;
        QByteArray content;
        QString target;
        int permissions = 0755;
        unsigned int fileType = 0;
    };
    std::vector<Entry> entries_;
};
