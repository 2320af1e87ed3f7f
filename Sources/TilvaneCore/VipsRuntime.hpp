#pragma once

#include <vips/vips.h>

#include <memory>
#include <string>
#include <string_view>

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

// Runs a pipeline that still decodes a file and keeps the pixels in memory; nothing when it
// fails. The decode runs on one worker only: with several, libvips 8.14 sometimes loses a
// decoder's error (a truncated JPEG) and hands back a half-decoded picture. The copy in memory
// carries no such limit, so that what is made of it afterwards runs on every worker.
VipsImagePointer decodedInMemory(VipsImagePointer pipeline);

// Takes libvips' error messages and empties their buffer, which the whole process shares: left
// alone, it fills up and then drops every later message.
std::string takeVipsErrors();

// Whether libvips' error messages tell of the machine running short (memory, a thread), in the
// words of libvips itself or of the decoders under it, rather than of a fault in the file.
bool tellOfExhaustion(std::string_view errors);

}  // namespace tilvane
