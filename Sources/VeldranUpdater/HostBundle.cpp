#include "VeldranUpdater/HostBundle.hpp"

#include "TilvaneShared/BoundedFileRead.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

namespace veldran {
namespace {

constexpr std::size_t maximumInfoBytes = 1024 * 1024;

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
    std::string bytes;
    try {
        bytes = tilvane::readBoundedFile(
            QFile::encodeName(bundleRoot + QStringLiteral("/Resources/Info.json")).toStdString(), maximumInfoBytes);
    } catch (const std::system_error&) {
        return {};
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(bytes), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return {};
    }
    return document.object();
}

}  // namespace veldran
