#pragma once

// Looks, presets and temporary folders shared by the preset and inspector tests.

#include "TestSupport/FileSizeLimit.hpp"
#include "TestSupport/TemporaryFolder.hpp"
#include "TilvanePresets/PersonalPreset.hpp"

#include <QCryptographicHash>
#include <QFile>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tilvane::presettesting {

using testing::FileSizeLimit;
using testing::TemporaryFolder;

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
