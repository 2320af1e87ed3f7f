#pragma once

#include <QString>

#include <memory>

class QTemporaryDir;

namespace veldran {

// The hidden folder beside the bundle in which one update is downloaded and extracted, named
// ".<bundle name>-update-XXXXXX". While it lives it holds an exclusive lock on the folder, so that
// another process cleaning up leaves it alone; a killed process releases the lock with its life.
class StagingFolder {
public:
    // Creates the folder; isValid() tells whether that worked.
    explicit StagingFolder(const QString& bundleRoot);
    ~StagingFolder();

    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    bool isValid() const;
    QString filePath(const QString& name) const;
    // Where the installed application is moved aside while the new one takes its place.
    QString savedApplicationPath() const;
    // Keeps the folder on disk after this object is gone (it holds the only copy of the application).
    void keep();

    // Removes the folders that interrupted updates of bundleRoot left beside it: folders of this
    // naming only, never one whose lock another process holds, and never one that keeps the
    // application after a failed rollback (its "previous" folder).
    static void removeStale(const QString& bundleRoot);

private:
    std::unique_ptr<QTemporaryDir> folder_;
    int lock_ = -1;
};

}  // namespace veldran
