#include "Tilvane/Services/ResourceBundle.hpp"

#include <QCoreApplication>
#include <QFile>

#include <system_error>

namespace tilvane {

namespace {

std::filesystem::path locateResources()
{
    std::error_code error;
    if (QCoreApplication::instance()) {
        const auto executableFolder =
            std::filesystem::path(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
        const auto beside = executableFolder / ".." / "Resources" / ResourceBundle::folderName;
        if (std::filesystem::is_directory(beside, error)) return std::filesystem::weakly_canonical(beside, error);
    }
    return std::filesystem::path(TILVANE_BUILD_RESOURCES_DIR) / ResourceBundle::folderName;
}

}  // namespace

const std::filesystem::path& ResourceBundle::resources()
{
    static const std::filesystem::path root = locateResources();
    return root;
}

}  // namespace tilvane
