#include "PreviewTestSupport.hpp"

#include "TilvaneCore/Uuid.hpp"
// GLib (under libvips) names struct members "signals", which Qt defines as a keyword macro.
#undef signals
#include "TilvaneCore/VipsRuntime.hpp"
#include "TilvaneShaders/ShaderPresetCatalog.hpp"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tilvane::testing {

ShaderBundle applicationShaderBundle()
{
    return ShaderBundle(std::filesystem::path(TILVANE_TEST_APP_DIR) / "Resources" / ShaderBundle::folderName);
}

std::unique_ptr<ShaderRenderer> makeTestRenderer()
{
    return std::make_unique<ShaderRenderer>(applicationShaderBundle());
}

ShaderRenderer& testRenderer()
{
    static const std::unique_ptr<ShaderRenderer> renderer = makeTestRenderer();
    return *renderer;
}

const std::vector<ShaderPreset>& builtInPresets()
{
    static const ShaderPresetCatalog catalog(applicationShaderBundle());
    return catalog.presets();
}

const ShaderPreset& presetWithEffect(const std::string& effect)
{
    for (const ShaderPreset& preset : builtInPresets()) {
        for (const ShaderPass& pass : preset.passes) {
            if (pass.effect == effect) return preset;
        }
    }
    throw std::runtime_error("no built-in preset uses " + effect);
}

ImagePointer stripedImage(int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    static constexpr std::uint8_t colours[3][3] = {{230, 40, 60}, {20, 180, 90}, {40, 60, 220}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto& colour = colours[(x / 3 + y / 2) % 3];
            std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
            pixel[0] = colour[0];
            pixel[1] = colour[1];
            pixel[2] = colour[2];
            pixel[3] = 255;
        }
    }
    return Image::make(width, height, std::move(pixels));
}

std::string fileBytes(const std::filesystem::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

std::optional<DecodedGIF> decodeGIF(const std::filesystem::path& file)
{
    if (!startVips()) return std::nullopt;
    VipsImagePointer image(vips_image_new_from_file(file.c_str(), "n", -1, nullptr));
    if (!image) {
        vips_error_clear();
        return std::nullopt;
    }
    DecodedGIF gif;
    gif.width = vips_image_get_width(image.get());
    gif.frameCount = vips_image_get_n_pages(image.get());
    gif.height = vips_image_get_page_height(image.get());
    int loop = -1;
    if (vips_image_get_int(image.get(), "loop", &loop) == 0) gif.loop = loop;
    int* delays = nullptr;
    int count = 0;
    if (vips_image_get_array_int(image.get(), "delay", &delays, &count) == 0) {
        gif.delaysMilliseconds.assign(delays, delays + count);
    }
    vips_error_clear();
    return gif;
}

std::optional<std::vector<std::uint8_t>> decodePNGPixels(const std::filesystem::path& file, int& width, int& height)
{
    if (!startVips()) return std::nullopt;
    VipsImagePointer image(vips_image_new_from_file(file.c_str(), nullptr));
    if (!image || vips_image_get_bands(image.get()) != 4 || vips_image_get_format(image.get()) != VIPS_FORMAT_UCHAR) {
        vips_error_clear();
        return std::nullopt;
    }
    std::size_t size = 0;
    void* memory = vips_image_write_to_memory(image.get(), &size);
    if (memory == nullptr) return std::nullopt;
    width = vips_image_get_width(image.get());
    height = vips_image_get_height(image.get());
    std::vector<std::uint8_t> pixels(static_cast<std::uint8_t*>(memory), static_cast<std::uint8_t*>(memory) + size);
    g_free(memory);
    return pixels;
}

}  // namespace tilvane::testing

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#include <random>

namespace tilvane::testing {

namespace {

constexpr unsigned overridingCapabilities = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

bool setEffectiveOverrides(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0) return false;
    if (on) {
        data[0].effective |= overridingCapabilities & data[0].permitted;
    } else {
        data[0].effective &= ~overridingCapabilities;
    }
    return syscall(SYS_capset, &header, data) == 0;
}

}  // namespace

PermissionBitsHold::PermissionBitsHold()
{
    if (geteuid() == 0) droppedCapabilities_ = setEffectiveOverrides(false);
}

PermissionBitsHold::~PermissionBitsHold()
{
    if (droppedCapabilities_) setEffectiveOverrides(true);
}

ReadOnlyFolder::ReadOnlyFolder(std::filesystem::path folder) : folder_(std::move(folder))
{
    using std::filesystem::perms;
    std::filesystem::permissions(folder_, perms::owner_write | perms::group_write | perms::others_write,
                                 std::filesystem::perm_options::remove);
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    std::error_code ignored;
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_write, std::filesystem::perm_options::add,
                                 ignored);
}

UnreadableFile::UnreadableFile(std::filesystem::path file)
    : file_(std::move(file)), before_(std::filesystem::status(file_).permissions())
{
    std::filesystem::permissions(file_, std::filesystem::perms::none);
}

UnreadableFile::~UnreadableFile()
{
    std::error_code ignored;
    std::filesystem::permissions(file_, before_, ignored);
}

ImagePointer noiseImage(int width, int height)
{
    std::mt19937 random(7);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t index = 0; index < pixels.size(); ++index) {
        pixels[index] = index % 4 == 3 ? 255 : static_cast<std::uint8_t>(random());
    }
    return Image::make(width, height, std::move(pixels));
}

EditorServices RenderingEditor::editorServices()
{
    EditorServices editor = services.services();
    editor.renderer = [this] { return renderer; };
    editor.exportRenderer = [this] {
        ++exportRenderersMade;
        return makeTestRenderer();
    };
    editor.shaderPresets = [] { return builtInPresets(); };
    return editor;
}

std::unique_ptr<ContentView> RenderingEditor::readyWindow()
{
    auto window = std::make_unique<ContentView>(editorServices());
    window->windowDidAppear();
    services.jobs->runAll();
    return window;
}

std::unique_ptr<ContentView> RenderingEditor::openWindow(const std::filesystem::path& picture)
{
    auto window = std::make_unique<ContentView>(editorServices());
    services.incoming.receive(picture);
    window->windowDidAppear();
    services.jobs->runAll();
    return window;
}

}  // namespace tilvane::testing
