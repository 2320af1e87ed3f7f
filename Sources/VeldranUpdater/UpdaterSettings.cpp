#include "VeldranUpdater/UpdaterSettings.hpp"

#include <QSettings>

namespace veldran {
namespace {

constexpr char automaticChecksKey[] = "veldran.updater.automaticChecks";
constexpr char lastCheckKey[] = "veldran.updater.lastCheck";

}  // namespace

UpdaterSettings::UpdaterSettings(const std::optional<QString>& file)
    : settings_(file ? std::make_unique<QSettings>(*file, QSettings::IniFormat) : std::make_unique<QSettings>())
{
}

UpdaterSettings::~UpdaterSettings() = default;

bool UpdaterSettings::automaticallyChecks() const
{
    const QVariant value = settings_->value(automaticChecksKey);
    return value.typeId() == QMetaType::Bool ? value.toBool() : value.toString() == u"true";
}

void UpdaterSettings::setAutomaticallyChecks(bool automaticallyChecks)
{
    settings_->setValue(automaticChecksKey, automaticallyChecks);
    settings_->sync();
}

std::optional<QDateTime> UpdaterSettings::lastCheck() const
{
    const QDateTime time = QDateTime::fromString(settings_->value(lastCheckKey).toString(), Qt::ISODateWithMs);
    if (!time.isValid()) {
        return std::nullopt;
    }
    return time;
}

void UpdaterSettings::setLastCheck(const QDateTime& time)
{
    settings_->setValue(lastCheckKey, time.toUTC().toString(Qt::ISODateWithMs));
    settings_->sync();
}

}  // namespace veldran
