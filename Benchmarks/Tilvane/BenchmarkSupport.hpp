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

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

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

inline double residentMegabytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The highest resident size above the level at construction, sampled every 2 ms.
class PeakMemory {
public:
    PeakMemory()
        : baseline_(residentMegabytes()), sampler_([this](std::stop_token stop) {
              while (!stop.stop_requested()) {
                  const double now = residentMegabytes();
                  double seen = peak_.load();
                  while (now > seen && !peak_.compare_exchange_weak(seen, now)) {
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(2));
              }
          })
    {
    }
    double aboveBaseline()
    {
        sampler_.request_stop();
        sampler_.join();
        return std::max(0.0, peak_.load() - baseline_);
    }

private:
    double baseline_;
    std::atomic<double> peak_{0};
    std::jthread sampler_;
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
