#pragma once

// Looks, presets and temporary folders shared by the preset and inspector tests.

#include "TilvanePresets/PersonalPreset.hpp"

#include <QCryptographicHash>
#include <QFile>

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace tilvane::presettesting {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
public:
    TemporaryFolder() : path_((std::filesystem::temp_directory_path() / "tilvane-app-XXXXXX").string())
    {
        mkdtemp(path_.data());
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    std::filesystem::path path() const { return path_; }

private:
    std::string path_;
};

// While it lives, no file of the process may grow past `bytes`: a larger write fails as on a full
// disk (a read-only folder would not stop a test run as root).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : previousHandler_(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &previous_);
        const rlimit limited{bytes, previous_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int);
};

// The SHA-256 of a file's bytes, empty when it cannot be read.
inline QByteArray checksum(const std::filesystem::path& path)
{
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
}

// The look of a new window: Game Boy, 8 px, no dithering, no shader, neutral screen and adjustments.
inline VisualSettings windowLook()
{
    return {"gameboy", 8, DitherMode::none, std::nullopt, {}, std::nullopt, {}};
}

inline VisualSettings lookWithPixelSize(std::int64_t pixelSize)
{
    auto look = windowLook();
    look.pixelSize = pixelSize;
    return look;
}

inline PersonalPreset presetNamed(const std::string& name, VisualSettings visual = windowLook())
{
    return {Uuid::random(), name, std::move(visual)};
}

}  // namespace tilvane::presettesting
