#pragma once

#include <QString>

#include <functional>

namespace veldran {

// Puts a staged bundle in the place of the installed one by two renames on the same file system,
// and puts the installed one back when the second rename fails.
class BundleInstaller {
public:
    using Rename = std::function<bool(const QString& from, const QString& to)>;

    static bool renameOnDisk(const QString& from, const QString& to);

    explicit BundleInstaller(Rename rename = renameOnDisk) : rename_(std::move(rename)) {}

    // Moves bundleRoot to backupPath, then stagedBundle to bundleRoot; throws
    // UpdateError(installFailed) with bundleRoot as it was when either step fails, or
    // UpdateError(rollbackFailed) when the installed bundle could not be put back and is left at
    // backupPath.
    void install(const QString& stagedBundle, const QString& bundleRoot, const QString& backupPath) const;

private:
    Rename rename_;
};

}  // namespace veldran
