#include "VeldranUpdater/StagingFolder.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace veldran {
namespace {

const QString savedApplicationName = QStringLiteral("previous");

QString namePrefix(const QString& bundleRoot)
{
    return u'.' + QFileInfo(bundleRoot).fileName() + QStringLiteral("-update-");
}

// An exclusive lock on the folder at path, or -1 when another open file holds one (or it cannot be
// opened as a folder, a link to one included).
int lockFolder(const QString& path, bool wait)
{
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) {
        return -1;
    }
    if (::flock(descriptor, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
        ::close(descriptor);
        return -1;
    }
    return descriptor;
}

}  // namespace

StagingFolder::StagingFolder(const QString& bundleRoot)
    : folder_(std::make_unique<QTemporaryDir>(QFileInfo(bundleRoot).absolutePath() + u'/' + namePrefix(bundleRoot)
                                              + QStringLiteral("XXXXXX")))
{
    if (folder_->isValid()) {
        lock_ = lockFolder(folder_->path(), true);
    }
}

StagingFolder::~StagingFolder()
{
    folder_.reset();
    if (lock_ >= 0) {
        ::close(lock_);
    }
}

bool StagingFolder::isValid() const
{
    return folder_->isValid() && lock_ >= 0;
}

QString StagingFolder::filePath(const QString& name) const
{
    return folder_->filePath(name);
}

QString StagingFolder::savedApplicationPath() const
{
    return filePath(savedApplicationName);
}

void StagingFolder::keep()
{
    folder_->setAutoRemove(false);
}

void StagingFolder::removeStale(const QString& bundleRoot)
{
    const QFileInfo bundle(bundleRoot);
    const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QRegularExpression::escape(namePrefix(bundleRoot)) + "[A-Za-z0-9]{6}"));
    const QFileInfoList candidates =
        QDir(bundle.absolutePath()).entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo& candidate : candidates) {
        if (!pattern.match(candidate.fileName()).hasMatch()) {
            continue;
        }
        const int lock = lockFolder(candidate.filePath(), false);
        if (lock < 0) {
            continue;
        }
        if (!QFileInfo::exists(candidate.filePath() + u'/' + savedApplicationName)) {
            QDir(candidate.filePath()).removeRecursively();
        }
        ::close(lock);
    }
}

}  // namespace veldran
