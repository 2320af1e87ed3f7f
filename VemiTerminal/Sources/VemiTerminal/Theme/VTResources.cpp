#include "VemiTerminal/Theme/VTResources.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString VTResources::bundlePath()
{
    static const QString path = [] {
        const QFileInfo inApplication(QCoreApplication::applicationDirPath()
                                      + QStringLiteral("/../Resources/VemiTerminal_VemiTerminal.bundle"));
        if (inApplication.isDir()) {
            return inApplication.canonicalFilePath();
        }
        return QString::fromUtf8(VEMI_TERMINAL_BUILD_BUNDLE);
    }();
    return path;
}
