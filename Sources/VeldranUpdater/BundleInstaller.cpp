#include "VeldranUpdater/BundleInstaller.hpp"

#include "VeldranUpdater/UpdateError.hpp"

#include <QFile>

#include <cstdio>

namespace veldran {

bool BundleInstaller::renameOnDisk(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

void BundleInstaller::install(const QString& stagedBundle, const QString& bundleRoot, const QString& backupPath) const
{
    if (!rename_(bundleRoot, backupPath)) {
        throw UpdateError(UpdateErrorCase::installFailed);
    }
    if (!rename_(stagedBundle, bundleRoot)) {
        throw UpdateError(rename_(backupPath, bundleRoot) ? UpdateErrorCase::installFailed
                                                          : UpdateErrorCase::rollbackFailed);
    }
}

}  // namespace veldran
