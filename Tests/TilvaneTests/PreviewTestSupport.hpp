#pragma once

#include "EditorTestServices.hpp"
#include "TestSupport/FileSizeLimit.hpp"
#include "TestSupport/TemporaryFolder.hpp"
#include "Tilvane/Editor/ContentView.hpp"
#include "TilvaneCore/Image.hpp"
#include "TilvaneShaders/Model/ShaderPreset.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"
#include "TilvaneShaders/ShaderBundle.hpp"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tilvane::testing {

// The shader bundle of the built application folder.
ShaderBundle applicationShaderBundle();

// One renderer shared by the tests of this program (compiling the shaders takes a while on llvmpipe).
ShaderRenderer& testRenderer();
std::unique_ptr<ShaderRenderer> makeTestRenderer();

const std::vector<ShaderPreset>& builtInPresets();
const ShaderPreset& presetWithEffect(const std::string& effect);

// Opaque stripes of three colours, so that scaling and shading both change pixels.
ImagePointer stripedImage(int width, int height);

std::string fileBytes(const std::filesystem::path& file);

struct DecodedGIF {
    int width = 0;
    int height = 0;
    int frameCount = 0;
    int loop = -1;
    std::vector<int> delaysMilliseconds;
};
std::optional<DecodedGIF> decodeGIF(const std::filesystem::path& file);

// Straight-alpha RGBA pixels of a PNG file, read with libvips.
std::optional<std::vector<std::uint8_t>> decodePNGPixels(const std::filesystem::path& file, int& width, int& height);

// Runs the event loop until the condition holds or the timeout passes; the condition's last answer.
template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(30))
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeout.count()) return condition();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

}  // namespace tilvane::testing

namespace tilvane::testing {

// Holds the calling thread to permission bits while it lives: a thread running as root drops the capabilities that
// bypass them, and takes them back when the object goes.
class PermissionBitsHold {
public:
    PermissionBitsHold();
    ~PermissionBitsHold();
    PermissionBitsHold(const PermissionBitsHold&) = delete;
    PermissionBitsHold& operator=(const PermissionBitsHold&) = delete;

private:
    bool droppedCapabilities_ = false;
};

// Makes a folder read-only for the calling thread: its permission bits lose every write bit, and they hold for a
// thread running as root too, until the object goes.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(std::filesystem::path folder);
    ~ReadOnlyFolder();

private:
    std::filesystem::path folder_;
    PermissionBitsHold hold_;
};

// Makes a file unreadable for the calling thread in the same way: no permission bit is left, until the object goes.
class UnreadableFile {
public:
    explicit UnreadableFile(std::filesystem::path file);
    ~UnreadableFile();

private:
    std::filesystem::path file_;
    std::filesystem::perms before_;
    PermissionBitsHold hold_;
};

// Random opaque noise that compresses badly, so that its PNG is large.
ImagePointer noiseImage(int width, int height);

// Editor services whose preview and exports render with the tests' renderer (or with none while
// `renderer` is null).
struct RenderingEditor {
    EditorServices editorServices();
    // The sample shown, converted, and every job done.
    std::unique_ptr<ContentView> readyWindow();
    // The picture file opened, and every job done.
    std::unique_ptr<ContentView> openWindow(const std::filesystem::path& picture);

    EditorTestServices services;
    ShaderRenderer* renderer = &testRenderer();
    int exportRenderersMade = 0;
};

}  // namespace tilvane::testing
