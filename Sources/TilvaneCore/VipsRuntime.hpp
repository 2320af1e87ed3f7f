#pragma once

#include <vips/vips.h>

#include <memory>

namespace tilvane {

// Starts libvips once per process; safe to call from any thread, any number of times.
// Loaders that libvips marks untrusted stay blocked, and its operation cache is off so that
// a file changed on disk is read again. False when libvips could not start.
bool startVips() noexcept;

struct GObjectRelease {
    void operator()(gpointer object) const noexcept
    {
        if (object != nullptr) g_object_unref(object);
    }
};

// Owns one reference to a GObject such as a VipsImage or a VipsSource.
template <typename Object>
using GObjectPointer = std::unique_ptr<Object, GObjectRelease>;

using VipsImagePointer = GObjectPointer<VipsImage>;

}  // namespace tilvane
