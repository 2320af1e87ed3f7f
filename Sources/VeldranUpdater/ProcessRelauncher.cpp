#include "VeldranUpdater/ProcessRelauncher.hpp"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

namespace veldran {

void ProcessRelauncher::relaunch(const QString& bundleRoot)
{
    const QString executable =
        bundleRoot + QStringLiteral("/bin/") + QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    // Started while this instance quits, so that the new one does not hand itself over to us.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                     [executable] { QProcess::startDetached(executable, {}); });
    QCoreApplication::quit();
}

}  // namespace veldran
