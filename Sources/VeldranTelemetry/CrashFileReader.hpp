#pragma once

#include "VeldranTelemetry/CrashEvent.hpp"

#include <QByteArray>
#include <QString>

#include <optional>

namespace veldran {

// Reads the crash files that the fatal-signal handler writes. Parsing is strict: a file larger than
// largestFile, malformed JSON, a missing or extra key, a field of the wrong type or an unknown signal
// gives nothing.
class CrashFileReader {
public:
    CrashFileReader() = delete;

    static constexpr qint64 largestFile = 1 << 20;

    static std::optional<CrashEvent> read(const QString& path);
    static std::optional<CrashEvent> parse(const QByteArray& contents);
};

}  // namespace veldran
