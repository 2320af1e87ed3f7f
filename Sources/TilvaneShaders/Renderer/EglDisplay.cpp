#include "TilvaneShaders/Renderer/EglDisplay.hpp"

#include <EGL/eglext.h>

#include <string_view>
#include <vector>

namespace tilvane {
namespace {

bool hasExtension(const char* extensions, std::string_view name)
{
    if (extensions == nullptr) {
        return false;
    }
    std::string_view list(extensions);
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find(' ', start);
        if (end == std::string_view::npos) {
            end = list.size();
        }
        if (list.substr(start, end - start) == name) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

EGLDisplay initialized(EGLDisplay display)
{
    if (display == EGL_NO_DISPLAY) {
        return EGL_NO_DISPLAY;
    }
    EGLint major = 0;
    EGLint minor = 0;
    if (eglInitialize(display, &major, &minor) != EGL_TRUE) {
        return EGL_NO_DISPLAY;
    }
    return display;
}

EGLDisplay openSurfaceless(PFNEGLGETPLATFORMDISPLAYEXTPROC getPlatformDisplay, const char* clientExtensions)
{
    if (!hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        return EGL_NO_DISPLAY;
    }
    return initialized(getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr));
}

EGLDisplay openFirstDevice(PFNEGLGETPLATFORMDISPLAYEXTPROC getPlatformDisplay, const char* clientExtensions)
{
    if (!hasExtension(clientExtensions, "EGL_EXT_platform_device")) {
        return EGL_NO_DISPLAY;
    }
    auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    if (queryDevices == nullptr) {
        return EGL_NO_DISPLAY;
    }
    EGLint count = 0;
    if (queryDevices(0, nullptr, &count) != EGL_TRUE || count < 1) {
        return EGL_NO_DISPLAY;
    }
    std::vector<EGLDeviceEXT> devices(static_cast<std::size_t>(count));
    if (queryDevices(count, devices.data(), &count) != EGL_TRUE) {
        return EGL_NO_DISPLAY;
    }
    for (EGLint i = 0; i < count; ++i) {
        if (EGLDisplay display = initialized(getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr));
            display != EGL_NO_DISPLAY) {
            return display;
        }
    }
    return EGL_NO_DISPLAY;
}

EGLDisplay openDisplay()
{
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        return EGL_NO_DISPLAY;
    }
    if (EGLDisplay display = openSurfaceless(getPlatformDisplay, clientExtensions); display != EGL_NO_DISPLAY) {
        return display;
    }
    return openFirstDevice(getPlatformDisplay, clientExtensions);
}

}  // namespace

EGLDisplay eglDisplay() noexcept
{
    static const EGLDisplay display = [] {
        try {
            return openDisplay();
        } catch (...) {
            return EGL_NO_DISPLAY;
        }
    }();
    return display;
}

}  // namespace tilvane
