#include "VeldranTelemetry/Bundle.hpp"

#include "TilvaneShared/BoundedFileRead.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace veldran {
namespace {

constexpr std::size_t largestInformationFile = 1 << 20;

nlohmann::json readInformation(const QString& folder)
{
    std::string bytes;
    try {
        bytes = tilvane::readBoundedFile(
            QFile::encodeName(QDir(folder).filePath(QStringLiteral("Resources/Info.json"))).toStdString(),
            largestInformationFile);
    } catch (const std::system_error&) {
        return nlohmann::json::object();
    }
    auto information = nlohmann::json::parse(bytes, nullptr, false);
    if (information.is_discarded() || !information.is_object()) return nlohmann::json::object();
    return information;
}

}  // namespace

Bundle::Bundle(QString folder) : folder_(std::move(folder)), information_(readInformation(folder_)) {}

Bundle Bundle::main()
{
    const QString executableFolder = QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath();
    return Bundle(QFileInfo(executableFolder + QStringLiteral("/..")).canonicalFilePath());
}

std::optional<std::string> Bundle::text(const std::string& key) const
{
    const auto found = information_.find(key);
    if (found == information_.end() || !found->is_string()) return std::nullopt;
    return found->get<std::string>();
}

std::optional<bool> Bundle::boolean(const std::string& key) const
{
    const auto found = information_.find(key);
    if (found == information_.end() || !found->is_boolean()) return std::nullopt;
    return found->get<bool>();
}

}  // namespace veldran
