#include "VeldranUpdater/HostBundle.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

namespace veldran {
namespace {

constexpr qint64 maximumInfoBytes = 1024 * 1024;

}  // namespace

QString runningBundleRoot()
{
    const QFileInfo executable(QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath());
    QDir folder = executable.dir();
    if (folder.dirName() == u"bin" && folder.cdUp()) {
        return folder.path();
    }
    return executable.path();
}

bool isApplicationBundle(const QString& bundleRoot)
{
    return QFileInfo(bundleRoot).suffix() == u"app";
}

QJsonObject readBundleInfo(const QString& bundleRoot)
{
    QFile file(bundleRoot + QStringLiteral("/Resources/Info.json"));
    if (!file.open(QIODevice::ReadOnly) || file.size() > maximumInfoBytes) {
        return {};
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return {};
    }
    return document.object();
}

}  // namespace veldran
