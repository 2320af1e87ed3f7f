#pragma once

namespace tilvane {

// A write past the file-size limit of the shell that started the application (`ulimit -f`) would end the process
// by SIGXFSZ, in whatever thread wrote: a PNG export or the graphics driver's shader cache. From this call on, such a
// write fails with EFBIG instead, and the writer reports its failure as it does a full disk's. The signal is caught
// by a handler that does nothing rather than ignored, so that programs this one starts get the default again.
// Call it at the start of main, before any thread exists.
void letWritesPastTheFileSizeLimitFail();

}  // namespace tilvane
