#include "VeldranTelemetry/Bundle.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace veldran {
namespace {

constexpr qint64 largestInformationFile = 1 << 20;

nlohmann::json readInformation(const QString& folder)
{
    QFile file(QDir(folder).filePath(QStringLiteral("Resources/Info.json")));
    if (!file.open(QIODevice::ReadOnly) || file.size() > largestInformationFile)
        return nlohmann::json::object();
    const QByteArray bytes = file.readAll();
    auto information = nlohmann::json::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (information.is_discarded() || !information.is_object())
        return nlohmann::json::object();
    return information;
}

}  // namespace

Bundle::Bundle(QString folder)
    : folder_(std::move(folder))
    , information_(readInformation(folder_))
{
}

Bundle Bundle::main()
{
    const QString executableFolder = QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath();
    return Bundle(QFileInfo(executableFolder + QStringLiteral("/..")).canonicalFilePath());
}

std::optional<std::string> Bundle::text(const std::string& key) const
{
    const auto found = information_.find(key);
    if (found == information_.end() || !found->is_string())
        return std::nullopt;
    return found->get<std::string>();
}

std::optional<bool> Bundle::boolean(const std::string& key) const
{
    const auto found = information_.find(key);
    if (found == information_.end() || !found->is_boolean())
        return std::nullopt;
    return found->get<bool>();
}

}  // namespace veldran
