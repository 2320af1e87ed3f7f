#pragma once

#include <QString>

#include <string>

namespace veldran {

// The process's fatal-signal handler (SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP). On such a signal it
// writes one owner-only crash file into the folder given at installation (under a temporary name, then
// renamed to crash-<time>-<pid>.json), using only async-signal-safe calls on an alternate stack, and then
// re-raises the signal to whatever handled it before.
class FatalSignalHandler {
public:
    FatalSignalHandler() = delete;

    // Installs (or re-arms) the handler for the whole process; false when the folder or the release is too
    // long to keep or a handler could not be set.
    static bool install(const QString& folder, const std::string& release);

    // Restores the handlers that were in place before install().
    static void uninstall();

    // The names the handler gives its files.
    static constexpr const char* fileSuffix = ".json";
    static constexpr const char* filePrefix = "crash-";
    static constexpr const char* temporaryPrefix = ".crash-";
};

}  // namespace veldran
