#pragma once
// Shared by the application's benchmark programs (each .cpp is its own program; this header is not).

#include "TilvaneCore/Uuid.hpp"
#include "TilvaneShaders/Model/ShaderPreset.hpp"
#include "TilvaneShaders/ShaderBundle.hpp"
#include "TilvaneShaders/ShaderPresetCatalog.hpp"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>

#include <malloc.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace tilvane::bench {

// A fresh path under the system's temporary folder, its name ending in `suffix`; nothing is made there.
inline std::filesystem::path scratchFile(const char* suffix)
{
    return std::filesystem::temp_directory_path() / (std::string("tilvane-bench-") + Uuid::random().string() + suffix);
}

inline ShaderBundle applicationShaders()
{
    return ShaderBundle(std::filesystem::path(TILVANE_BENCH_APP_DIR) / "Resources" / ShaderBundle::folderName);
}

inline const std::vector<ShaderPreset>& builtInPresets()
{
    static const ShaderPresetCatalog catalog(applicationShaders());
    return catalog.presets();
}

// The phosphor preset with halation: the most draws per frame of the built-in presets.
inline const ShaderPreset& heaviestPreset()
{
    const auto& list = builtInPresets();
    const auto found = std::ranges::find_if(list, [](const ShaderPreset& preset) {
        return std::ranges::any_of(preset.passes, [](const ShaderPass& pass) {
            return pass.effect == "realisticPhosphor" && pass.settings.contains("bloomStyle")
                   && pass.settings.at("bloomStyle") > 0.5f;
        });
    });
    return found != list.end() ? *found : list.front();
}

// A smooth, colourful 6000 × 4000 photo written once as a JPEG under the system's temporary folder.
inline const std::filesystem::path& roadPhoto()
{
    static const std::filesystem::path file = [] {
        QImage photo(6000, 4000, QImage::Format_RGB32);
        for (int y = 0; y < photo.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
            for (int x = 0; x < photo.width(); ++x) {
                row[x] = qRgb(x * 255 / photo.width(), y * 255 / photo.height(), ((x / 37) ^ (y / 23)) * 9 % 256);
            }
        }
        const auto path = std::filesystem::temp_directory_path() / "tilvane-benchmark-road.jpg";
        photo.save(QString::fromStdString(path.string()), "JPEG", 90);
        return path;
    }();
    return file;
}

// A figure of /proc/self/status given in kB ("VmRSS:", "VmHWM:"), in megabytes.
inline double statusMegabytes(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(key)) return std::stod(line.substr(key.size())) / 1024.0;
    }
    throw std::runtime_error("/proc/self/status has no " + key);
}

// The highest resident size from construction on, as the kernel keeps it (VmHWM, reset at construction
// to the resident size then), and how far it rose above that. Memory that earlier work freed but kept is
// handed back to the system first, so that it does not count as this measurement's.
class PeakMemory {
public:
    PeakMemory()
    {
        ::malloc_trim(0);
        std::ofstream clearRefs("/proc/self/clear_refs");
        clearRefs << "5";
        clearRefs.close();
        if (!clearRefs) throw std::runtime_error("cannot reset the peak resident size through /proc/self/clear_refs");
        baseline_ = statusMegabytes("VmRSS:");
    }
    double peakMegabytes() const { return statusMegabytes("VmHWM:"); }
    double aboveBaseline() const { return std::max(0.0, peakMegabytes() - baseline_); }

private:
    double baseline_ = 0;
};

// A 1 ms timer on the main thread; its longest gap is the longest the window could not answer the user.
class MainThreadHeartbeat {
public:
    MainThreadHeartbeat()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { longest_ = std::max(longest_, sinceBeat_.restart()); });
        sinceBeat_.start();
        timer_.start(1);
    }
    double longestGapMilliseconds() const { return static_cast<double>(std::max(longest_, sinceBeat_.elapsed())); }

private:
    QTimer timer_;
    QElapsedTimer sinceBeat_;
    qint64 longest_ = 0;
};

}  // namespace tilvane::bench
