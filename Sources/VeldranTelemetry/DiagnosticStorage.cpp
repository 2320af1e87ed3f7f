#include "VeldranTelemetry/DiagnosticStorage.hpp"

#include "VeldranTelemetry/TelemetryPatterns.hpp"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QUuid>

#include <sys/stat.h>

#include <cerrno>

namespace veldran {
namespace {

constexpr mode_t ownerOnly = S_IRWXU;

// A bundle identifier is used as one folder name; anything that could climb or split the path is refused.
bool isSafeFolderName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

std::optional<QString> defaultBase(const QString& bundleIdentifier)
{
    const QString caches = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (caches.isEmpty() || !isSafeFolderName(bundleIdentifier)) return std::nullopt;
    return QDir(caches).filePath(bundleIdentifier + QStringLiteral("/BetaDiagnostics"));
}

// Creates every missing folder of the absolute path, each owner-only; existing folders are left as they are.
bool createOwnerOnlyFolders(const QString& path)
{
    const QString cleaned = QDir::cleanPath(path);
    if (!QDir::isAbsolutePath(cleaned)) return false;
    QString current;
    for (const QString& component : cleaned.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        current += QLatin1Char('/') + component;
        const QByteArray native = QFile::encodeName(current);
        if (mkdir(native.constData(), ownerOnly) == 0) {
            if (chmod(native.constData(), ownerOnly) != 0) return false;
            continue;
        }
        struct stat status {};
        if (errno != EEXIST || stat(native.constData(), &status) != 0 || !S_ISDIR(status.st_mode)) return false;
    }
    return true;
}

std::optional<QUuid> storedGeneration(const QSettings& defaults)
{
    const QVariant stored = defaults.value(QLatin1String(DiagnosticStorage::generationKey));
    if (stored.typeId() != QMetaType::QString) return std::nullopt;
    const QByteArray text = stored.toString().toUtf8();
    if (!isUuidText(std::string_view(text.constData(), static_cast<std::size_t>(text.size())))) return std::nullopt;
    return QUuid::fromString(QLatin1String(text));
}

}  // namespace

DiagnosticStorage::DiagnosticStorage(const QString& bundleIdentifier, QSettings& defaults, std::optional<QString> base,
                                     RemoveOperation remove)
    : defaults_(defaults), base_(base ? std::move(base) : defaultBase(bundleIdentifier)), remove_(std::move(remove))
{
}

std::optional<QString> DiagnosticStorage::directoryForConsentedRun()
{
    if (!base_) return std::nullopt;
    const QUuid generation = storedGeneration(defaults_).value_or(QUuid::createUuid());
    const QString name = generation.toString(QUuid::WithoutBraces).toUpper();
    const QString folder = QDir(*base_).filePath(name);
    if (!createOwnerOnlyFolders(folder) || chmod(QFile::encodeName(folder).constData(), ownerOnly) != 0)
        return std::nullopt;
    defaults_.setValue(QLatin1String(generationKey), name);
    return folder;
}

void DiagnosticStorage::purge()
{
    defaults_.remove(QLatin1String(generationKey));
    if (base_) remove_(*base_);
}

bool DiagnosticStorage::removeRecursively(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink()) return QDir(path).removeRecursively();
    if (!info.exists() && !info.isSymLink()) return true;
    return QFile::remove(path);
}

}  // namespace veldran
