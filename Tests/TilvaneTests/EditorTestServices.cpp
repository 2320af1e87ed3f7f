#include "EditorTestServices.hpp"

#include "Tilvane/Editor/ContentView.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

#include <QFile>
#include <QImage>

#include <fstream>
#include <ostream>

namespace tilvane {

void PrintTo(const SavePanel& panel, std::ostream* out)
{
    *out << '"' << panel.title.toStdString() << "\" proposing " << panel.proposedFile << " as "
         << panel.nameFilter.toStdString() << ", suffix " << panel.defaultSuffix.toStdString();
}

}  // namespace tilvane

namespace tilvane::testing {

ImagePointer solidImage(int width, int height, std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t offset = 0; offset < pixels.size(); offset += 4) {
        pixels[offset] = red;
        pixels[offset + 1] = green;
        pixels[offset + 2] = blue;
        pixels[offset + 3] = 255;
    }
    return Image::make(width, height, std::move(pixels));
}

std::filesystem::path writeImageFile(const std::filesystem::path& file, int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) picture.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 128));
    }
    picture.save(QString::fromStdString(file.string()));
    return file;
}

void writeTruncatedJPEG(const std::filesystem::path& file)
{
    QImage photo(400, 300, QImage::Format_RGB32);
    photo.fill(qRgb(90, 140, 200));
    photo.save(QString::fromStdString(file.string()), "JPEG", 90);
    std::filesystem::resize_file(file, std::filesystem::file_size(file) / 3);
}

std::filesystem::path EditorTestServices::file(const std::string& name) const
{
    return folder / name;
}

EditorServices EditorTestServices::services()
{
    return EditorServices{
        .dialogs = dialogs,
        .presetStore = PersonalPresetStore(presetsFile()),
        .sessionStore = LastSessionStore(sessionFile()),
        .renderer = [this] { return renderer; },
        .exportRenderer = [] { return std::unique_ptr<ShaderRenderer>(); },
        .shaderPresets = [presets = shaderPresets] { return presets; },
        .clock = clock,
        .jobs = jobs,
        .telemetry = telemetry,
        .exports = exports,
        .closedWindowExportFailed =
            [this](const std::string& message) { closedWindowExportFailures.push_back(message); },
        .sampleImage = [this] { return sample; },
        .incoming = &incoming,
        .lifecycle = &lifecycle,
        .reduceMotion = &reduceMotion,
    };
}

void writeBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

std::unique_ptr<ContentView> EditorTestServices::shownWindow()
{
    auto window = std::make_unique<ContentView>(services());
    window->windowDidAppear();
    jobs->runAll();
    return window;
}

void EditorTestServices::quit(ContentView& window)
{
    lifecycle.setTerminating();
    window.applicationWillTerminate();
    window.windowDidDisappear();
}

void EditorTestServices::writeUnreadableFiles() const
{
    writeTruncatedJPEG(file("truncated.jpg"));
    writeBytes(file("text.png"), "this is not a picture\n");
    writeBytes(file("empty.png"), {});
    std::filesystem::create_directory(file("folder.png"));
}

}  // namespace tilvane::testing
